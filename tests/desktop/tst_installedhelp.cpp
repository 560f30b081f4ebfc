#include "SPHTMLHelp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The help file of a program in its build folder (beside it) and of an installed one (in the
// installed data folder).
class TestInstalledHelp : public QObject
{
    Q_OBJECT

private slots:
    void installedProgramFindsItsHelpInTheDataFolder();
    void helpBesideTheProgramWins();

private:
    static void touch(const QString &path);
};

void TestInstalledHelp::touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestInstalledHelp::installedProgramFindsItsHelpInTheDataFolder()
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("usr/bin/Talvenbahn"));
    const QString help = root.filePath(QStringLiteral("usr/share/talvenbahn/Talvenbahn.chm"));
    touch(program);
    touch(help);
    QCOMPARE(HelpFileForExecutable(program), help);
}

void TestInstalledHelp::helpBesideTheProgramWins()
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("usr/bin/Talvenbahn"));
    touch(program);
    touch(root.filePath(QStringLiteral("usr/share/talvenbahn/Talvenbahn.chm")));
    touch(program + QStringLiteral(".chm"));
    QCOMPARE(HelpFileForExecutable(program), program + QStringLiteral(".chm"));
}

QTEST_GUILESS_MAIN(TestInstalledHelp)
#include "tst_installedhelp.moc"
