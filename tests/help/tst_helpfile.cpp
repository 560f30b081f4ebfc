#include "ChmArchive.h"
#include "ChmLibrary.h"
#include "HelpContent.h"
#include "HelpSitemap.h"
#include "HtmlHelpAPI.h"
#include "SPHTMLHelp.h"
#include "SettingsStore.h"

#include <QCollator>
#include <QSettings>

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QString kReaderLibrary = QStringLiteral("libchm.so.1");
const QString kBuiltHelpFile = QStringLiteral(BUILT_HELP_FILE);

QByteArray systemRecord(quint16 code, const QByteArray &text)
{
    QByteArray record(4, '\0');
    qToLittleEndian<quint16>(code, record.data());
    qToLittleEndian<quint16>(static_cast<quint16>(text.size() + 1), record.data() + 2);
    return record + text + '\0';
}

const QByteArray kSystemVersion("\x03\x00\x00\x00", 4);

} // namespace

// Reading the compiled help file: the reader library, the archive, the sitemaps and the names.
class TestHelpFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void readerLibraryLoadsOrReportsWhyNot();
    void builtFileNamesItsContentsIndexAndStartPage();
    void builtFileHoldsEveryPageItsContentsAndIndexLeadTo();
    void builtIndexIsSortedOnceEachAndFindsTheAnalysis();
    void settingsPageNamesEverySetting();
    void pagesAndPicturesComeBackWhole();
    void aFileThatIsNoHelpFileDoesNotOpen();
    void aFileShorterThanItsHeaderSaysDoesNotOpen();
    void contentTravelsWholeAndRefusesBrokenMessages();
    void pagesTellWhatTheProgramDoes_data();
    void pagesTellWhatTheProgramDoes();

    void systemObjectRecords_data();
    void systemObjectRecords();

    void sitemapEntries_data();
    void sitemapEntries();
    void keywordMatches_data();
    void keywordMatches();

    void helpTargetSplitsFileAndPage_data();
    void helpTargetSplitsFileAndPage();
    void helpFileSitsNextToTheExecutable_data();
    void helpFileSitsNextToTheExecutable();

private:
    TChmLibrary m_library;
};

void TestHelpFile::initTestCase()
{
    QVERIFY2(m_library.load(kReaderLibrary), qPrintable(m_library.errorString()));
    QVERIFY2(QFileInfo::exists(kBuiltHelpFile), qPrintable(kBuiltHelpFile));
}

void TestHelpFile::readerLibraryLoadsOrReportsWhyNot()
{
    TChmLibrary missing;
    QVERIFY(!missing.load(QStringLiteral("libnot-a-reader.so.7")));
    QVERIFY(!missing.isLoaded());
    QVERIFY(!missing.errorString().isEmpty());
    QVERIFY(missing.open == nullptr);

    // A library that loads but lacks the functions is refused as a whole.
    TChmLibrary wrong;
    QVERIFY(!wrong.load(QStringLiteral("libz.so.1")));
    QVERIFY(!wrong.isLoaded());
    QVERIFY(wrong.open == nullptr && wrong.enumerate == nullptr);

    TChmLibrary reader;
    QVERIFY(reader.load(kReaderLibrary));
    QVERIFY(reader.open && reader.close && reader.resolveObject && reader.retrieveObject &&
            reader.enumerate);
    reader.unload();
    QVERIFY(!reader.isLoaded());
    QVERIFY(reader.open == nullptr);
}

void TestHelpFile::builtFileNamesItsContentsIndexAndStartPage()
{
    TChmArchive archive(m_library);
    QVERIFY(archive.open(kBuiltHelpFile));
    const TChmSystemInfo &info = archive.systemInfo();
    QCOMPARE(TChmArchive::normalizedPath(info.contentsFile), QStringLiteral("/Talvenbahn.hhc"));
    QCOMPARE(TChmArchive::normalizedPath(info.indexFile), QStringLiteral("/Talvenbahn.hhk"));
    QCOMPARE(info.defaultTopic, QStringLiteral("index.htm"));
    QCOMPARE(info.title, QStringLiteral("Talvenbahn Hilfe"));
}

void TestHelpFile::builtFileHoldsEveryPageItsContentsAndIndexLeadTo()
{
    TChmArchive archive(m_library);
    QVERIFY(archive.open(kBuiltHelpFile));
    const auto contents =
        THelpSitemap::parse(archive.read(archive.systemInfo().contentsFile).value());
    const auto index = THelpSitemap::parse(archive.read(archive.systemInfo().indexFile).value());
    QVERIFY(contents.size() >= 9);
    QVERIFY(index.size() >= 20);
    for (const auto &entry : contents + index) {
        if (!entry.local.isEmpty())
            QVERIFY2(archive.contains(entry.local),
                     qPrintable(entry.name + QStringLiteral(" -> ") + entry.local));
    }
    // Every stored page is reachable from the contents.
    QStringList listed;
    for (const auto &entry : contents)
        listed.append(TChmArchive::normalizedPath(entry.local));
    for (const QString &file : archive.files()) {
        if (file.endsWith(u".htm"))
            QVERIFY2(listed.contains(file), qPrintable(file));
    }
}

void TestHelpFile::builtIndexIsSortedOnceEachAndFindsTheAnalysis()
{
    TChmArchive archive(m_library);
    QVERIFY(archive.open(kBuiltHelpFile));
    const auto index = THelpSitemap::parse(archive.read(archive.systemInfo().indexFile).value());
    QCollator german(QLocale(QLocale::German, QLocale::Germany));
    german.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList names;
    for (const auto &entry : index)
        names.append(entry.name);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), german);
    QCOMPARE(names, sorted);
    QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), names.size());
    const auto found = THelpSitemap::match(index, QStringLiteral("Analyse"));
    QVERIFY(!found.isEmpty());
    QVERIFY(QString::fromUtf8(archive.read(found.first().local).value())
                .contains(QStringLiteral("Analyse")));
}

void TestHelpFile::settingsPageNamesEverySetting()
{
    // Every key the program writes, as it writes them.
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Talvenbahn.ini"));
    TStoredSettings all;
    all.Left = all.Top = all.Width = all.Height = all.Acc = all.Dist = all.Autos = 1;
    all.Runden = all.Time = all.MinLap = all.PassLog = all.Zoom = all.LiveOn = 1;
    all.LivePort = all.Speech = all.Finish = 1;
    all.Title = all.TimeWarn = all.BoardScreen = QStringLiteral("x");
    QVERIFY(TSettingsStore(file).Write(all));
    const QStringList keys = QSettings(file, QSettings::IniFormat).allKeys();
    QCOMPARE(keys.size(), 19);
    TChmArchive archive(m_library);
    QVERIFY(archive.open(kBuiltHelpFile));
    const QString page =
        QString::fromUtf8(archive.read(QStringLiteral("einstellungen.htm")).value());
    for (const QString &key : keys)
        QVERIFY2(page.contains(QStringLiteral("<td>%1").arg(key)) ||
                     page.contains(QStringLiteral(", %1").arg(key)),
                 qPrintable(key));
    QVERIFY(!page.contains(QStringLiteral("merkt sich beim Beenden")));
}

void TestHelpFile::pagesAndPicturesComeBackWhole()
{
    TChmArchive archive(m_library);
    QVERIFY(archive.open(kBuiltHelpFile));
    const auto page = archive.read(QStringLiteral("index.htm"));
    QVERIFY(page.has_value());
    QVERIFY(page->endsWith("</html>\n"));
    QVERIFY(QString::fromUtf8(*page).contains(u"Übersicht"));
    QCOMPARE(archive.read(QStringLiteral("/index.htm")), page);

    const auto picture = archive.read(QStringLiteral("tasten.png"));
    QVERIFY(picture.has_value());
    QVERIFY(picture->startsWith("\x89PNG"));
    QVERIFY(!QImage::fromData(*picture).isNull());

    QVERIFY(!archive.read(QStringLiteral("/fehlt.htm")).has_value());
    QVERIFY(!archive.contains(QStringLiteral("/fehlt.htm")));

    archive.close();
    QVERIFY(!archive.isOpen());
    QVERIFY(!archive.read(QStringLiteral("index.htm")).has_value());
    QVERIFY(archive.files().isEmpty());
}

void TestHelpFile::aFileThatIsNoHelpFileDoesNotOpen()
{
    QTemporaryDir folder;
    QFile text(folder.filePath(QStringLiteral("Talvenbahn.chm")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("ITSF but nothing else of a help file");
    text.close();

    TChmArchive archive(m_library);
    QVERIFY(!archive.open(text.fileName()));
    QVERIFY(!archive.open(folder.filePath(QStringLiteral("missing.chm"))));
    QVERIFY(!archive.isOpen());

    TChmLibrary unloaded;
    TChmArchive withoutReader(unloaded);
    QVERIFY(!withoutReader.open(kBuiltHelpFile));
}

void TestHelpFile::aFileShorterThanItsHeaderSaysDoesNotOpen()
{
    QFile built(kBuiltHelpFile);
    QVERIFY(built.open(QIODevice::ReadOnly));
    const QByteArray bytes = built.readAll();
    QCOMPARE(TChmArchive::recordedLength(bytes.first(TChmArchive::kHeadBytes)),
             quint64(bytes.size()));
    QVERIFY(!TChmArchive::recordedLength("ITSF").has_value());
    QVERIFY(!TChmArchive::recordedLength(QByteArray(TChmArchive::kHeadBytes, 'x')).has_value());

    // The reader library itself reads a cut file as pages of zero bytes.
    QTemporaryDir folder;
    QFile cut(folder.filePath(QStringLiteral("Talvenbahn.chm")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.first(bytes.size() - 1));
    cut.close();
    TChmArchive archive(m_library);
    QVERIFY(!archive.open(cut.fileName()));
    QVERIFY(archive.errorString().contains(u"kürzer"));
}

void TestHelpFile::contentTravelsWholeAndRefusesBrokenMessages()
{
    TChmArchive archive(m_library);
    QVERIFY(archive.open(kBuiltHelpFile));
    THelpContent content;
    content.setSystemInfo(archive.systemInfo());
    for (const QString &path : archive.files())
        QVERIFY(content.add(path, archive.read(path).value()));

    const QByteArray message = content.toBytes();
    const auto back = THelpContent::fromBytes(message);
    QVERIFY(back.has_value());
    QCOMPARE(back->files(), archive.files());
    QCOMPARE(back->systemInfo().title, QStringLiteral("Talvenbahn Hilfe"));
    QCOMPARE(back->read(QStringLiteral("TASTEN.PNG")), archive.read(QStringLiteral("tasten.png")));
    QVERIFY(!back->read(QStringLiteral("/fehlt.htm")).has_value());

    // A helper cut short, one that says more, or one that prints something else is no answer.
    QVERIFY(!THelpContent::fromBytes(message.chopped(1)).has_value());
    QVERIFY(!THelpContent::fromBytes(message + '\0').has_value());
    QVERIFY(!THelpContent::fromBytes("Segmentation fault").has_value());
    QVERIFY(!THelpContent::fromBytes({}).has_value());

    // The bounds hold against a file that claims to be huge.
    THelpContent huge;
    QVERIFY(huge.add(QStringLiteral("a.htm"), QByteArray(THelpContent::kMaxTotalBytes, 'a')));
    QVERIFY(!huge.add(QStringLiteral("b.htm"), QByteArray(1, 'b')));
}

void TestHelpFile::pagesTellWhatTheProgramDoes_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    // Every format the open dialog offers for starter lists.
    QTest::newRow("workbooks") << "starterliste.htm"
                               << "*.xlsx";
    QTest::newRow("OpenDocument") << "starterliste.htm"
                                  << "*.ods";
    QTest::newRow("CSV") << "starterliste.htm"
                         << "*.csv";
    // The lap length takes the locale's decimal comma and steps by a tenth.
    QTest::newRow("decimal comma") << "vorbereiten.htm"
                                   << "mit einem Komma abgetrennt";
    QTest::newRow("step") << "vorbereiten.htm"
                          << "Schritten von 0,1 km";
    // The title is the one header field that stays open during a race.
    QTest::newRow("title editable") << "vorbereiten.htm"
                                    << "auch während eines Rennens";
    QTest::newRow("new race clears") << "beenden.htm"
                                     << "Platz, Startnummer und Fahrer";
    QTest::newRow("new race keeps") << "beenden.htm"
                                    << "Kopfzeile (Titel";
}

void TestHelpFile::pagesTellWhatTheProgramDoes()
{
    QFETCH(QString, page);
    QFETCH(QString, text);
    TChmArchive archive(m_library);
    QVERIFY(archive.open(kBuiltHelpFile));
    const auto data = archive.read(page);
    QVERIFY(data.has_value());
    // Compare the words as shown, whatever the line breaks in the page source.
    const QString shown = QString::fromUtf8(*data).simplified();
    QVERIFY2(shown.contains(text), qPrintable(page + QStringLiteral(": ") + text));
}

void TestHelpFile::systemObjectRecords_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("title");

    const QByteArray all = kSystemVersion + systemRecord(0, "a.hhc") + systemRecord(1, "a.hhk") +
                           systemRecord(2, "start.htm") + systemRecord(3, "Hilfe");
    QTest::newRow("every record") << all << "a.hhc"
                                  << "a.hhk"
                                  << "start.htm"
                                  << "Hilfe";
    QTest::newRow("unknown codes skipped")
        << kSystemVersion + systemRecord(9, "xx") + systemRecord(2, "s.htm") << ""
        << ""
        << "s.htm"
        << "";
    QTest::newRow("truncated last record")
        << (kSystemVersion + systemRecord(0, "a.hhc") + systemRecord(2, "start.htm")).chopped(4)
        << "a.hhc"
        << ""
        << ""
        << "";
    QTest::newRow("half a header") << kSystemVersion + QByteArray("\x02\x00", 2) << ""
                                   << ""
                                   << ""
                                   << "";
    QTest::newRow("empty") << QByteArray() << ""
                           << ""
                           << ""
                           << "";
    QByteArray unterminated = kSystemVersion + systemRecord(3, "Titel");
    unterminated.chop(1);
    unterminated[6] = 5; // the length no longer counts a NUL
    QTest::newRow("text without NUL") << unterminated << ""
                                      << ""
                                      << ""
                                      << "Titel";
    QTest::newRow("length beyond the data")
        << kSystemVersion + QByteArray("\x03\x00\xff\xff", 4) + "abc"
        << ""
        << ""
        << ""
        << "";
}

void TestHelpFile::systemObjectRecords()
{
    QFETCH(QByteArray, data);
    const TChmSystemInfo info = TChmArchive::parseSystemObject(data);
    QTEST(info.contentsFile, "contents");
    QTEST(info.indexFile, "index");
    QTEST(info.defaultTopic, "topic");
    QTEST(info.title, "title");
}

void TestHelpFile::sitemapEntries_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("locals");
    QTest::addColumn<QList<int>>("levels");

    QTest::newRow("nested lists")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"A\">"
                      "<param name=\"Local\" value=\"a.htm\"></OBJECT>"
                      "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"B\">"
                      "<param name=\"Local\" value=\"b.htm\"></OBJECT></UL>"
                      "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"C\">"
                      "</OBJECT></UL>")
        << QStringList{"A", "B", "C"} << QStringList{"a.htm", "b.htm", ""} << QList<int>{0, 1, 0};
    QTest::newRow("case, quotes and entities")
        << QByteArray("<ul><li><object TYPE='text/sitemap'><PARAM NAME=name VALUE='Start &amp; "
                      "Ziel'><param name='local' value=\"s&#252;d.htm\"></object></ul>")
        << QStringList{"Start & Ziel"} << QStringList{u"süd.htm"_qs} << QList<int>{0};
    QTest::newRow("umlauts in UTF-8")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                      "value=\"\xc3\x9c"
                      "bersicht\"></OBJECT></UL>")
        << QStringList{u"Übersicht"_qs} << QStringList{""} << QList<int>{0};
    QTest::newRow("first page of several wins")
        << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"K\">"
                      "<param name=\"Local\" value=\"1.htm\"><param name=\"Name\" value=\"K2\">"
                      "<param name=\"Local\" value=\"2.htm\"></OBJECT></UL>")
        << QStringList{"K"} << QStringList{"1.htm"} << QList<int>{0};
    QTest::newRow("other objects and nameless entries skipped")
        << QByteArray("<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"X\">"
                      "</OBJECT><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" "
                      "value=\"n.htm\"></OBJECT></UL>")
        << QStringList{} << QStringList{} << QList<int>{};
    QTest::newRow("stray closing lists")
        << QByteArray("</UL></UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                      "value=\"Z\"></OBJECT>")
        << QStringList{"Z"} << QStringList{""} << QList<int>{0};
    QTest::newRow("not a sitemap") << QByteArray("\x00\xff<html><p>Text</p>", 18) << QStringList{}
                                   << QStringList{} << QList<int>{};
    QTest::newRow("unclosed object") << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\">"
                                                   "<param name=\"Name\" value=\"Open\">")
                                     << QStringList{} << QStringList{} << QList<int>{};
}

void TestHelpFile::sitemapEntries()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, names);
    QFETCH(QStringList, locals);
    QFETCH(QList<int>, levels);
    const auto entries = THelpSitemap::parse(data);
    QStringList gotNames;
    QStringList gotLocals;
    QList<int> gotLevels;
    for (const auto &entry : entries) {
        gotNames.append(entry.name);
        gotLocals.append(entry.local);
        gotLevels.append(entry.level);
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotLocals, locals);
    QCOMPARE(gotLevels, levels);
}

void TestHelpFile::keywordMatches_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("prefix before inside") << "run" << QStringList{"Runden", "Bestrunde"};
    QTest::newRow("ignores case") << "WARN" << QStringList{"Warnzeit"};
    QTest::newRow("umlauts") << u"länge"_qs << QStringList{u"Streckenlänge"_qs};
    QTest::newRow("blanks around") << "  zeit " << QStringList{"Zeitnahme", "Warnzeit"};
    QTest::newRow("nothing") << "Regen" << QStringList{};
    QTest::newRow("empty keyword matches all")
        << "" << QStringList{"Bestrunde", "Runden", u"Streckenlänge"_qs, "Warnzeit", "Zeitnahme"};
}

void TestHelpFile::keywordMatches()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, names);
    const QList<THelpSitemapEntry> index = {
        {"Bestrunde", "w.htm", 0}, {"Runden", "v.htm", 0},    {u"Streckenlänge"_qs, "v.htm", 0},
        {"Warnzeit", "w.htm", 0},  {"Zeitnahme", "z.htm", 0},
    };
    QStringList got;
    for (const auto &entry : THelpSitemap::match(index, keyword))
        got.append(entry.name);
    QCOMPARE(got, names);
}

void TestHelpFile::helpTargetSplitsFileAndPage_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("page");

    QTest::newRow("file only") << "/opt/t/Talvenbahn.chm"
                               << "/opt/t/Talvenbahn.chm"
                               << "";
    QTest::newRow("topic with blank") << "/opt/t/Talvenbahn.chm ::/page.htm"
                                      << "/opt/t/Talvenbahn.chm"
                                      << "/page.htm";
    QTest::newRow("topic without blank") << "a.chm::/b.htm#x"
                                         << "a.chm"
                                         << "/b.htm#x";
    QTest::newRow("no file") << "::/b.htm"
                             << ""
                             << "/b.htm";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestHelpFile::helpTargetSplitsFileAndPage()
{
    QFETCH(QString, argument);
    const THtmlHelpTarget target = SplitHelpTarget(argument);
    QTEST(target.file, "file");
    QTEST(target.page, "page");
}

void TestHelpFile::helpFileSitsNextToTheExecutable_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("helpFile");

    QTest::newRow("no extension") << "/opt/tb/Talvenbahn"
                                  << "/opt/tb/Talvenbahn.chm";
    QTest::newRow("extension replaced") << "/opt/tb/Talvenbahn.exe"
                                        << "/opt/tb/Talvenbahn.chm";
    QTest::newRow("only the last extension") << "/opt/tb/Talvenbahn.v2.bin"
                                             << "/opt/tb/Talvenbahn.v2.chm";
    QTest::newRow("dotted folder") << "/opt/tb.1/Talvenbahn"
                                   << "/opt/tb.1/Talvenbahn.chm";
}

void TestHelpFile::helpFileSitsNextToTheExecutable()
{
    QFETCH(QString, executable);
    QTEST(HelpFileForExecutable(executable), "helpFile");
}

QTEST_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
