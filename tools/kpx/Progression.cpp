// The progress line runs in its own thread, which never calls the library.
#include "Progression.h"

#include <chrono>
#include <cstdio>

#include <unistd.h>

Progression::Progression(std::string message) : message_(std::move(message)) {
    if (isatty(STDERR_FILENO) == 1) fil_ = std::thread([this] { afficher(); });
}

Progression::~Progression() {
    if (!fil_.joinable()) return;
    {
        std::lock_guard<std::mutex> garde(verrou_);
        termine_ = true;
    }
    fin_.notify_one();
    fil_.join();
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

void Progression::afficher() {
    const auto debut = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> garde(verrou_);
    std::fprintf(stderr, "%s", message_.c_str());
    std::fflush(stderr);
    while (!fin_.wait_for(garde, std::chrono::milliseconds(500), [this] { return termine_; })) {
        const auto secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
        std::fprintf(stderr, "\r%s %.0f s", message_.c_str(), secondes);
        std::fflush(stderr);
    }
}
