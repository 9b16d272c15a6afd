#pragma once

// Holds the window busy for the time of an exchange: painting goes on, user
// input is held back by the waits, and closing is deferred.
class BusyScope {
public:
    explicit BusyScope(int& counter) : counter(counter) { ++counter; }
    ~BusyScope() { --counter; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& counter;
};
