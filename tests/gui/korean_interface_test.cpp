// Korean in the windows Qt builds for the program: its file and colour
// dialogs in Qt's Korean translation (when that is installed), and the
// calendars with Korean month and day names.
#include <QCalendarWidget>
#include <QColorDialog>
#include <QDateEdit>
#include <QFileDialog>
#include <QLabel>
#include <QTest>

#include "core/store/store_connection.hpp"
#include "gui/common/korean_interface.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/results/result_window.hpp"
#include "gui/scenario/calendar_window.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TempFolder;
using verdanel::testing::TestApplication;

namespace {

QStringList labelTexts(const QWidget& w) {
    QStringList texts;
    for (const QLabel* l : w.findChildren<QLabel*>()) texts << l->text();
    return texts;
}

// December and Monday as a calendar names them.
QStringList calendarNames(const QCalendarWidget* calendar) {
    const QLocale l = calendar->locale();
    return {l.standaloneMonthName(12), l.dayName(1, QLocale::ShortFormat)};
}

}  // namespace

class KoreanInterfaceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::useHangulFont(*qApp); }

    // The rows run in order: first no translation is found, then Qt's own
    // is installed (a translator, once installed, stays).
    void qtWindowsAndCalendarsInKorean_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("lookIn");        // the file dialog's folder label
        QTest::addColumn<QString>("basicColours");  // the colour dialog's palette label
        QTest::addColumn<QString>("overwrite");     // the save dialog's question
        QTest::newRow("translation missing: English, the program goes on")
            << false << "Look in:" << "&Basic colors" << "%1 already exists.\nDo you want to replace it?";
        QTest::newRow("Qt's Korean translation")
            << true << QString::fromUtf8("다음에서 찾기:") << QString::fromUtf8("기본 색상(&B)")
            << QString::fromUtf8("%1이(가) 이미 존재합니다.\n바꾸시겠습니까?");
    }
    void qtWindowsAndCalendarsInKorean() {
        QFETCH(bool, installed);
        QFETCH(QString, lookIn);
        QFETCH(QString, basicColours);
        QFETCH(QString, overwrite);
        const QStringList korean{QString::fromUtf8("12월"), QString::fromUtf8("월")};

        // The program's own calendars are Korean whatever the default locale.
        TestApplication app;
        ScriptedPrompter prompter;
        StoreConnection connection;
        QVERIFY(connection.open(app.connectionText(), prompter));
        gui::ResultWindow results(ModelKind::Stream, connection, prompter, app.base());
        gui::CalendarWindow sprayDate;
        QCOMPARE(calendarNames(sprayDate.findChild<QCalendarWidget*>()), korean);
        QCOMPARE(calendarNames(results.startPicker()->calendarWidget()), korean);
        QCOMPARE(calendarNames(results.endPicker()->calendarWidget()), korean);

        TempFolder empty;
        QCOMPARE(gui::useKoreanInterface(*qApp, installed ? QString() : QString::fromStdString(empty.str())),
                 installed);
        QCOMPARE(QLocale().language(), QLocale::Korean);
        QCalendarWidget anyCalendar;
        QCOMPARE(calendarNames(&anyCalendar), korean);

        QFileDialog files(nullptr, QStringLiteral("save"));
        files.setOption(QFileDialog::DontUseNativeDialog);
        QVERIFY2(labelTexts(files).contains(lookIn), qPrintable(labelTexts(files).join(" | ")));
        QColorDialog colours;
        colours.setOption(QColorDialog::DontUseNativeDialog);
        QVERIFY2(labelTexts(colours).contains(basicColours), qPrintable(labelTexts(colours).join(" | ")));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?"),
                 overwrite);
    }
};

QTEST_MAIN(KoreanInterfaceTest)
#include "korean_interface_test.moc"
