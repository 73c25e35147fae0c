// Application names from desktop files, and starting the default application of a role.
#include "platform/desktop/AppLauncher.h"
#include "platform/desktop/DesktopEntries.h"
#include "support/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velk::AppLauncher;
using velk::DesktopEntries;

namespace {

void write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

TEST(DesktopEntriesTest, WindowClassesFindTheirApplicationNames)
{
    QTemporaryDir dir;
    const QString apps = dir.path() + QStringLiteral("/applications");
    write(apps + "/org.example.Viewer.desktop",
          "[Desktop Entry]\nName=Image Viewer\nName[de]=Bildbetrachter\nExec=viewer %F\n");
    write(apps + "/writer.desktop",
          "[Desktop Entry]\nName=Writer\nStartupWMClass=libreoffice-writer\n[Desktop Action New]\nName=New Document\n");
    write(apps + "/vendor/tool.desktop", "[Desktop Entry]\nName=Vendor Tool\n");
    write(apps + "/broken.desktop", "[Desktop Entry]\nExec=nothing\n");
    const DesktopEntries entries({apps});

    EXPECT_EQ(entries.nameForWindowClass("viewer", "Viewer"), QStringLiteral("Image Viewer"));
    EXPECT_EQ(entries.nameForWindowClass("libreoffice", "libreoffice-writer"), QStringLiteral("Writer"));
    EXPECT_EQ(entries.nameForWindowClass("vendor-tool", ""), QStringLiteral("Vendor Tool"));
    EXPECT_EQ(entries.nameForWindowClass("broken", "Broken"), std::nullopt);
    EXPECT_EQ(entries.displayName("xterm", "XTerm"), QStringLiteral("XTerm"));
    EXPECT_EQ(entries.displayName("only-instance", ""), QStringLiteral("only-instance"));

    EXPECT_EQ(DesktopEntries::findFile("vendor-tool.desktop", {apps}), apps + "/vendor/tool.desktop");
    EXPECT_EQ(DesktopEntries::findFile("../etc.desktop", {apps}), std::nullopt);
}

TEST(DesktopEntriesTest, FindsAnApplicationByItsCategoriesOrKeywords)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home"), system = dir.path() + QStringLiteral("/system");
    write(system + "/org.example.Forecast.desktop",
          "[Desktop Entry]\nName=Forecast\nExec=forecast\nKeywords=Weather;Forecast;\n");
    write(system + "/a-sky.desktop", "[Desktop Entry]\nName=Sky\nExec=sky\nKeywords=weather;\n");
    // The user's copy of a-sky.desktop hides it; one without Exec runs nothing.
    write(home + "/a-sky.desktop", "[Desktop Entry]\nName=Sky\nExec=sky\nNoDisplay=true\nKeywords=weather;\n");
    write(home + "/aa-todo.desktop", "[Desktop Entry]\nName=Tasks\nKeywords=Todo;\n");
    write(system + "/tasks.desktop",
          "[Desktop Entry]\nName=Tasks\nExec=tasks\nCategories=Office;ProjectManagement;\nKeywords=Task;ToDo;\n");
    write(system + "/monitor.desktop", "[Desktop Entry]\nName=Monitor\nExec=top\nKeywords=Task;Manager;\n");

    const struct {
        QStringList words;
        std::optional<QString> id;
    } cases[] = {
        {{"weather"}, QStringLiteral("org.example.Forecast.desktop")},
        {{"todo", "to-do"}, QStringLiteral("tasks.desktop")},
        {{"projectmanagement"}, QStringLiteral("tasks.desktop")},
        {{"recipes"}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopEntries::findApplication(c.words, {home, system}), c.id) << c.words.join(u',').toStdString();
}

TEST(AppLauncherTest, DefaultApplicationsAndExecLines)
{
    const QByteArray list = "[Added Associations]\nx-scheme-handler/mailto=other.desktop;\n"
                            "[Default Applications]\ntext/plain=editor.desktop\n"
                            "x-scheme-handler/mailto=;mail.desktop;second.desktop;\n";
    EXPECT_EQ(AppLauncher::defaultIn(list, "x-scheme-handler/mailto"), QStringLiteral("mail.desktop"));
    EXPECT_EQ(AppLauncher::defaultIn(list, "image/png"), std::nullopt);

    EXPECT_EQ(AppLauncher::commandLine("mail -compose %U"), (QStringList{"mail", "-compose"}));
    EXPECT_EQ(AppLauncher::commandLine(R"("/opt/My App/run" --flag "a \"q\"" 100%%)"),
              (QStringList{"/opt/My App/run", "--flag", "a \"q\"", "100%"}));
    EXPECT_EQ(AppLauncher::commandLine("\"unterminated"), std::nullopt);
    EXPECT_EQ(AppLauncher::commandLine("  %f "), std::nullopt);
}

TEST(AppLauncherTest, LaunchesTheDefaultMailClientInTheBackground)
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString marker = data + QStringLiteral("/launched");
    write(config + "/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=test-mail.desktop\n");
    write(data + "/applications/test-mail.desktop",
          "[Desktop Entry]\nName=Test Mail\nExec=sh -c \"touch '" + marker.toUtf8() + "'\" %u\n");

    const auto id = AppLauncher::defaultApplication("x-scheme-handler/mailto");
    ASSERT_EQ(id, QStringLiteral("test-mail.desktop"));
    EXPECT_TRUE(AppLauncher::launch(*id));
    EXPECT_TRUE(velk::test::waitFor([&] { return QFile::exists(marker); }));
    EXPECT_FALSE(AppLauncher::launch("missing.desktop"));
}
