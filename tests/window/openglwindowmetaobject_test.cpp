#include "app/mainwindow.h"
#include "tests/window/recordingwindow.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <gtest/gtest.h>

TEST(OpenGLWindowMetaObject, DeclaresTheRenderNowSlotAndNothingElseOfItsOwn) {
    const QMetaObject &meta = OpenGLWindow::staticMetaObject;
    EXPECT_STREQ(meta.className(), "OpenGLWindow");
    EXPECT_EQ(meta.superClass(), &QWindow::staticMetaObject);

    ASSERT_EQ(meta.methodCount() - meta.methodOffset(), 1);
    const QMetaMethod renderNow = meta.method(meta.methodOffset());
    EXPECT_EQ(renderNow.methodSignature(), QByteArray("renderNow()"));
    EXPECT_EQ(renderNow.methodType(), QMetaMethod::Slot);
    EXPECT_EQ(renderNow.access(), QMetaMethod::Public);
    EXPECT_EQ(renderNow.returnType(), static_cast<int>(QMetaType::Void));
    EXPECT_EQ(renderNow.parameterCount(), 0);

    EXPECT_EQ(meta.propertyCount(), meta.propertyOffset());
    EXPECT_EQ(meta.classInfoCount(), meta.classInfoOffset());
    EXPECT_EQ(meta.enumeratorCount(), meta.enumeratorOffset());
    EXPECT_EQ(meta.constructorCount(), 0);
}

TEST(OpenGLWindowMetaObject, MetaCastsReachTheWindowAndItsOpenGLFunctionsBase) {
    RecordingWindow window;
    OpenGLWindow *openGLWindow = &window;
    QOpenGLFunctions *functions = window.functionsBase();
    // The functions base sits after the QWindow base, so a cast that returned the object's own
    // address would be caught.
    ASSERT_NE(static_cast<void *>(functions), static_cast<void *>(openGLWindow));

    EXPECT_EQ(window.qt_metacast("OpenGLWindow"), static_cast<void *>(openGLWindow));
    EXPECT_EQ(window.qt_metacast("QOpenGLFunctions"), static_cast<void *>(functions));
    EXPECT_EQ(window.qt_metacast("QWindow"), static_cast<void *>(static_cast<QWindow *>(&window)));
    EXPECT_EQ(window.qt_metacast("RecordingWindow"), nullptr);
    EXPECT_EQ(qobject_cast<OpenGLWindow *>(static_cast<QObject *>(&window)), openGLWindow);
}

TEST(OpenGLWindowMetaObject, MainWindowReportsItsClassAsOpenGLWindow) {
    MainWindow window;
    EXPECT_EQ(window.metaObject(), &OpenGLWindow::staticMetaObject);
    EXPECT_STREQ(window.metaObject()->className(), "OpenGLWindow");
    EXPECT_EQ(window.qt_metacast("MainWindow"), nullptr);
}
