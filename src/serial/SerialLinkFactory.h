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
