#include "serial/SerialLinkFactory.h"

#include "serial/CMscomm1.h"

#include <utility>

namespace {

SerialLinkMaker& installedMaker()
{
    static SerialLinkMaker maker;
    return maker;
}

} // namespace

std::unique_ptr<SerialLink> makeSerialLink(QObject* parent)
{
    if (installedMaker())
        return installedMaker()(parent);
    return std::make_unique<CMscomm1>(parent);
}

void setSerialLinkMaker(SerialLinkMaker maker)
{
    installedMaker() = std::move(maker);
}

ScopedSerialLinkMaker::ScopedSerialLinkMaker(SerialLinkMaker maker)
    : previous(std::exchange(installedMaker(), std::move(maker)))
{
}

ScopedSerialLinkMaker::~ScopedSerialLinkMaker()
{
    installedMaker() = std::move(previous);
}
