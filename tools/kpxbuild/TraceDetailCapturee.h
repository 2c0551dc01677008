// Collects the detail trace lines of every category for the lifetime of the
// object: the build tools report the loader's own messages, tests assert them.
#pragma once

#include <string>
#include <vector>

class TraceDetailCapturee {
public:
    TraceDetailCapturee();
    ~TraceDetailCapturee();
    TraceDetailCapturee(const TraceDetailCapturee&) = delete;
    TraceDetailCapturee& operator=(const TraceDetailCapturee&) = delete;

    const std::vector<std::string>& lignes() const;
    bool contient(const std::string& ligne) const;
    // Every line, one per line, for failure messages.
    std::string texte() const;
    void effacer();
};
