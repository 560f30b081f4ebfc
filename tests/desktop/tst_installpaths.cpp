#include "InstallPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The lookup of helpers and data files in both layouts the program runs from: the build folder
// (everything side by side) and an install tree under some prefix.
class TestInstallPaths : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void installedFoldersHangOffTheProgramFolder();
    void buildFolderFindsFilesBesideTheProgram();
    void installTreeFindsHelpersAndData();
    void besideTheProgramWinsOverTheInstallTree();
    void missingFileNamesThePlaceBesideTheProgram();
    void runningProgramIsFoundWithoutApplicationObject();

private:
    QString touch(const QString &relativePath);

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestInstallPaths::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
}

QString TestInstallPaths::touch(const QString &relativePath)
{
    const QString path = m_root->filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    return path;
}

void TestInstallPaths::installedFoldersHangOffTheProgramFolder()
{
    QCOMPARE(InstallPaths::installedHelperFolder(QStringLiteral("/usr/bin")),
             QStringLiteral("/usr/libexec/talvenbahn"));
    QCOMPARE(InstallPaths::installedDataFolder(QStringLiteral("/usr/bin")),
             QStringLiteral("/usr/share/talvenbahn"));
    // An unpacked package is found below its own root.
    QCOMPARE(InstallPaths::installedHelperFolder(QStringLiteral("/tmp/root/usr/bin")),
             QStringLiteral("/tmp/root/usr/libexec/talvenbahn"));
}

void TestInstallPaths::buildFolderFindsFilesBesideTheProgram()
{
    const QString helper = touch(QStringLiteral("build/bin/talvenbahn-xls-reader"));
    const QString help = touch(QStringLiteral("build/bin/Talvenbahn.chm"));
    const QString bin = m_root->filePath(QStringLiteral("build/bin"));
    QCOMPARE(InstallPaths::helperProgram(QStringLiteral("talvenbahn-xls-reader"), bin), helper);
    QCOMPARE(InstallPaths::dataFile(QStringLiteral("Talvenbahn.chm"), bin), help);
}

void TestInstallPaths::installTreeFindsHelpersAndData()
{
    touch(QStringLiteral("usr/bin/Talvenbahn"));
    const QString helper = touch(QStringLiteral("usr/libexec/talvenbahn/talvenbahn-xls-reader"));
    const QString help = touch(QStringLiteral("usr/share/talvenbahn/Talvenbahn.chm"));
    const QString bin = m_root->filePath(QStringLiteral("usr/bin"));
    QCOMPARE(InstallPaths::helperProgram(QStringLiteral("talvenbahn-xls-reader"), bin), helper);
    QCOMPARE(InstallPaths::dataFile(QStringLiteral("Talvenbahn.chm"), bin), help);
    // Helpers and data are not mixed up.
    QCOMPARE(InstallPaths::dataFile(QStringLiteral("talvenbahn-xls-reader"), bin),
             QDir(bin).filePath(QStringLiteral("talvenbahn-xls-reader")));
}

void TestInstallPaths::besideTheProgramWinsOverTheInstallTree()
{
    const QString beside = touch(QStringLiteral("usr/bin/talvenbahn-xls-reader"));
    touch(QStringLiteral("usr/libexec/talvenbahn/talvenbahn-xls-reader"));
    QCOMPARE(InstallPaths::helperProgram(QStringLiteral("talvenbahn-xls-reader"),
                                         m_root->filePath(QStringLiteral("usr/bin"))),
             beside);
}

void TestInstallPaths::missingFileNamesThePlaceBesideTheProgram()
{
    const QString bin = m_root->filePath(QStringLiteral("usr/bin"));
    QCOMPARE(InstallPaths::helperProgram(QStringLiteral("talvenbahn-xls-reader"), bin),
             QDir(bin).filePath(QStringLiteral("talvenbahn-xls-reader")));
}

void TestInstallPaths::runningProgramIsFoundWithoutApplicationObject()
{
    // This test has no application object (QTEST_APPLESS_MAIN), like the program before it
    // makes one for the command line.
    QCOMPARE(InstallPaths::programFolder(),
             QFileInfo(QStringLiteral(TEST_PROGRAM_FOLDER)).canonicalFilePath());
}

QTEST_APPLESS_MAIN(TestInstallPaths)
#include "tst_installpaths.moc"
