#pragma once

#include <functional>
#include <memory>

class QObject;
class SerialLink;

// Every window makes its own serial link here: a CMscomm1 on the system's
// ports, or whatever a test or the demonstration installed instead.
std::unique_ptr<SerialLink> makeSerialLink(QObject* parent = nullptr);

using SerialLinkMaker = std::function<std::unique_ptr<SerialLink>(QObject* parent)>;
// An empty function restores the system's links.
void setSerialLinkMaker(SerialLinkMaker maker);

// Installs a maker for its lifetime and then puts back the one before it:
// the windows opened meanwhile reach only what it serves.
class ScopedSerialLinkMaker {
public:
    explicit ScopedSerialLinkMaker(SerialLinkMaker maker);
    ~ScopedSerialLinkMaker();
    ScopedSerialLinkMaker(const ScopedSerialLinkMaker&) = delete;
    ScopedSerialLinkMaker& operator=(const ScopedSerialLinkMaker&) = delete;

private:
    SerialLinkMaker previous;
};
