#include "serial/ForwardingLink.h"

ForwardingLink::ForwardingLink(SerialLink& inner, QObject* parent) : SerialLink(parent), inner(inner)
{
    connect(&inner, &SerialLink::received, this, &SerialLink::received);
}
