#include "cli/fileoptions.h"
#include "cli/sceneoptions.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

#include <functional> // std::function

namespace {

const QString replay = QStringLiteral("replay");
const QString record = QStringLiteral("record");
const QString loadState = QStringLiteral("load-state");
const QString saveState = QStringLiteral("save-state");

// What check() says of the arguments, read with the scene options and every option that names a
// file, as rigid2d and rigid2d-trace have them.
QString checked(const QStringList &arguments,
                const std::function<QString(const QCommandLineParser &)> &check) {
    QCommandLineParser parser;
    addSceneOptions(parser);
    for (const QString &option : {replay, record, loadState, saveState})
        parser.addOption({option, QString(), QStringLiteral("FILE")});
    EXPECT_TRUE(parser.parse(QStringList{QStringLiteral("program")} + arguments));
    return check(parser);
}

} // namespace

// Each program lists what a file that brings the scene does not go with in its own order.
TEST(FileOptions, AFileThatBringsTheSceneRefusesWhatWouldChooseAnother) {
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
        EXPECT_EQ(checked(c.arguments,
                          [&](const QCommandLineParser &parser) {
                              return sceneFromFileConflict(parser, c.option, c.others);
                          }),
                  QString::fromLatin1(c.message));
    }
}

TEST(FileOptions, TheFirstOptionGivenAnEmptyFileNameIsNamed) {
    const struct {
        QStringList arguments;
        const char *message;
    } cases[] = {
        {{"--record", ""}, "--record: expects a file name"},
        {{"--load-state", "", "--replay", ""}, "--replay: expects a file name"},
        {{"--replay", "f", "--save-state", ""}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(checked(c.arguments,
                          [](const QCommandLineParser &parser) {
                              return emptyFileName(parser, {replay, record, loadState});
                          }),
                  QString::fromLatin1(c.message));
    }
}
