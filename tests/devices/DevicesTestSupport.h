#pragma once

#include "Hex.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"

#include <QByteArray>
#include <gtest/gtest.h>

// English texts and a fresh SharedState for every test.
struct EnglishFixture : testing::Test {
    EnglishFixture()
    {
        setUiLanguage(englishUi);
        resetSharedState();
    }
    ~EnglishFixture() override { resetSharedState(); }
};
