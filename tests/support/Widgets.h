#pragma once

#include <QObject>

#include <gtest/gtest.h>

// The child of `parent` with the objectName `name`; a missing one fails the test.
template <typename T> T *named(const QObject &parent, const char *name) {
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}
