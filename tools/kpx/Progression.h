// A line on the terminal while a long call runs, counting the seconds; it is erased
// when the call returns. Nothing is shown when stderr is not a terminal.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class Progression {
public:
    explicit Progression(std::string message);
    ~Progression();
    Progression(const Progression&) = delete;
    Progression& operator=(const Progression&) = delete;

private:
    void afficher();

    std::string message_;
    std::mutex verrou_;
    std::condition_variable fin_;
    bool termine_ = false;
    std::thread fil_;
};
