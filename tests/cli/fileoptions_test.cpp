#include "cli/fileoptions.h"
#include "cli/sceneoptions.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

// Each program lists what a file that brings the scene does not go with in its own order.
TEST(FileOptions, AFileThatBringsTheSceneRefusesWhatWouldChooseAnother) {
    const QString replay = QStringLiteral("replay");
    const QString record = QStringLiteral("record");
    const QString loadState = QStringLiteral("load-state");
    const struct {
        QStringList arguments;
        QString option;
        QStringList others;
        const char *message;
    } cases[] = {
        {{"--replay", "f", "--bodies", "5"},
         replay,
         sceneOptionNames(),
         "--replay: the scene comes from the file, so --scene, --bodies and --solver do not go "
         "with it"},
        {{"--load-state", "f", "--record", "r"},
         loadState,
         sceneOptionNames() + QStringList{replay, record},
         "--load-state: the scene comes from the file, so --scene, --bodies, --solver, --replay "
         "and --record do not go with it"},
        {{"--load-state", "f", "--solver", "stable"},
         loadState,
         QStringList{replay} + sceneOptionNames(),
         "--load-state: the scene comes from the file, so --replay, --scene, --bodies and "
         "--solver do not go with it"},
        {{"--replay", "f", "--record", "r"}, replay, sceneOptionNames(), ""},
        {{"--bodies", "5"}, replay, sceneOptionNames(), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QCommandLineParser parser;
        addSceneOptions(parser);
        for (const QString &option : {replay, record, loadState})
            parser.addOption({option, QString(), QStringLiteral("FILE")});
        ASSERT_TRUE(parser.parse(QStringList{QStringLiteral("program")} + c.arguments));
        EXPECT_EQ(sceneFromFileConflict(parser, c.option, c.others),
                  QString::fromLatin1(c.message));
    }
}
