#pragma once

#include "widgets/ScreenFit.h"

#include <QRect>

// The offscreen platform's screen is 800 x 600; the windows' tests run on a
// desktop of 1920 x 1080, where every window fits as it was laid out.
inline const QRect testDesktop(0, 0, 1920, 1080);

inline void useTestDesktop()
{
    ScreenFit::setAvailableArea([](const QWidget*) { return testDesktop; });
}
