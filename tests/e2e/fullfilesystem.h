#pragma once

#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>      // errno
#include <cstring>     // std::strerror
#include <sys/mount.h> // mount, umount

// A small file system of its own, to be filled to the last byte; skipped where mounting needs
// privileges the test does not have.
class FullFileSystem : public testing::Test {
protected:
    void SetUp() override {
        if (::mount("tmpfs", folder.path().toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
        mounted = true;
    }
    void TearDown() override {
        if (mounted)
            ::umount(folder.path().toLocal8Bit().constData());
    }
    void fill() {
        QFile filler(folder.filePath(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QTemporaryDir folder;
    bool mounted = false;
};
