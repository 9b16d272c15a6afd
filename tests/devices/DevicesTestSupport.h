#pragma once

#include "app/SharedState.h"
#include "app/UiLanguage.h"

#include <QByteArray>
#include <gtest/gtest.h>

// Bytes written as hex pairs with optional blanks: "55 06 03".
inline QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

// English texts and a fresh SharedState for every test.
struct EnglishFixture : testing::Test {
    EnglishFixture()
    {
        setUiLanguage(englishUi);
        resetSharedState();
    }
    ~EnglishFixture() override { resetSharedState(); }
};
