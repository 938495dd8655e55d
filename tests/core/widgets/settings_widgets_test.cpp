#include "core/widgets/settings_widgets.h"

#include <QHeaderView>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

#include "core/settings.h"
#include "support/temp_dir.h"

using fhr::Settings;

class SettingsWidgetsTest : public QObject {
  Q_OBJECT

 private:
  // A main window of the usual shape: a list with four columns over a pane.
  struct MainWindow {
    QWidget window;
    QTreeWidget* list = new QTreeWidget(&window);
    MainWindow() {
      list->setColumnCount(4);
      for (int i = 0; i < 4; ++i) list->header()->resizeSection(i, 50 + i);
      window.resize(700, 500);
      list->resize(600, 300);
    }
    QHeaderView* columns() { return list->header(); }
  };

  fhr::test::TempDir dir_;
  std::string Ini() const { return dir_.file("fhr.ini"); }
  void Store(const std::string& text) { dir_.write("fhr.ini", text); }

 private slots:
  void fontStringIsAppliedFieldByField() {
    QWidget widget;
    QFont bold = widget.font();
    bold.setBold(true);
    widget.setFont(bold);

    fhr::ApplyFontString(&widget, "Verdana,,b,");
    QCOMPARE(widget.font().family(), QString("Verdana"));
    QCOMPARE(widget.font().pointSize(), 8);
    QVERIFY(widget.font().bold());
    QVERIFY(!widget.font().italic());
    QCOMPARE(widget.palette().color(QPalette::WindowText), QColor(Qt::black));

    fhr::ApplyFontString(&widget, "Tahoma,10,r,255");
    QVERIFY(!widget.font().bold());
    QCOMPARE(widget.palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(fhr::FontString(&widget), std::string("Tahoma,10,r,255"));

    fhr::ApplyFontString(&widget, "Arial,12,BI,16711680");
    QCOMPARE(fhr::FontString(&widget), std::string("Arial,12,ib,16711680"));
  }

  void themeColourReferenceLeavesPalette() {
    QWidget widget;
    const QColor before = widget.palette().color(QPalette::WindowText);
    fhr::ApplyFontString(&widget, "Tahoma,10,r,-16777208");
    QCOMPARE(widget.palette().color(QPalette::WindowText), before);
  }

  void placementIsAppliedAndMissingFieldsKept() {
    Store("[settings]\nmsgwin=30,40,500,300,0\nsmtpdlg=,,640,\n");
    Settings settings(Ini());
    QWidget window;
    window.resize(200, 100);
    fhr::LoadPlacement(&window, settings, "msgwin");
    QCOMPARE(window.pos(), QPoint(30, 40));
    QCOMPARE(window.size(), QSize(500, 300));

    fhr::LoadPlacement(&window, settings, "smtpdlg");
    QCOMPARE(window.pos(), QPoint(30, 40));
    QCOMPARE(window.size(), QSize(640, 300));

    fhr::LoadPlacement(&window, settings, "nntpmandlg");  // nothing stored
    QCOMPARE(window.size(), QSize(640, 300));

    QVERIFY(fhr::SavePlacement(&window, settings, "nntpmandlg"));
    QCOMPARE(settings.Text("nntpmandlg"), std::string("30,40,640,300,0"));
  }

  void maximizedWindowWritesNothing() {
    Store("[settings]\nwindow=1,2,3,4,0,5,6,5\n");
    Settings settings(Ini());
    MainWindow main;
    main.window.setWindowState(Qt::WindowMaximized);
    QVERIFY(!fhr::SaveMainPlacement(&main.window, settings, "window", main.list, main.columns()));
    QVERIFY(!fhr::SavePlacement(&main.window, settings, "msgwin"));
    QCOMPARE(dir_.read("fhr.ini"), std::string("[settings]\nwindow=1,2,3,4,0,5,6,5\n"));
  }

  void mainPlacementWithFewerColumnsLeavesTheRest() {
    Store("[settings]\nwindow=10,20,800,600,0,200,111,222,200\n");
    Settings settings(Ini());
    MainWindow main;
    fhr::LoadMainPlacement(&main.window, settings, "window", main.list, main.columns());
    QCOMPARE(main.window.geometry(), QRect(10, 20, 800, 600));
    QCOMPARE(main.list->height(), 200);
    QCOMPARE(main.columns()->sectionSize(0), 111);
    QCOMPARE(main.columns()->sectionSize(1), 222);
    QCOMPARE(main.columns()->sectionSize(2), 52);
    QCOMPARE(main.columns()->sectionSize(3), 53);
  }

  void mainPlacementRoundTrips() {
    Store("");
    Settings settings(Ini());
    MainWindow first;
    first.window.move(15, 25);
    first.columns()->resizeSection(2, 140);
    QVERIFY(fhr::SaveMainPlacement(&first.window, settings, "window", first.list, first.columns()));
    QCOMPARE(settings.Text("window"), std::string("15,25,700,500,0,300,50,51,140,53,300"));

    MainWindow second;
    second.columns()->resizeSection(0, 10);
    fhr::LoadMainPlacement(&second.window, settings, "window", second.list, second.columns());
    QCOMPARE(fhr::PlacementFingerprint(&second.window, second.list, second.columns()),
             fhr::PlacementFingerprint(&first.window, first.list, first.columns()));
  }

  void fingerprintFollowsEveryMeasure() {
    MainWindow main;
    main.window.move(1, 2);
    const std::string before = fhr::PlacementFingerprint(&main.window, main.list, main.columns());
    QCOMPARE(before, std::string("12700500") + "50515253" + "300");
    main.columns()->resizeSection(3, 99);
    QVERIFY(fhr::PlacementFingerprint(&main.window, main.list, main.columns()) != before);
  }

  void listHeightInASplitterBecomesItsShare() {
    Store("[settings]\nwindow=,,,,0,120\n");
    Settings settings(Ini());
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* splitter = new QSplitter(Qt::Vertical);
    auto* list = new QTreeWidget;
    auto* pane = new QWidget;
    splitter->addWidget(list);
    splitter->addWidget(pane);
    layout->addWidget(splitter);
    window.resize(400, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int total = splitter->sizes().at(0) + splitter->sizes().at(1);

    fhr::LoadMainPlacement(&window, settings, "window", list, list->header());
    QCOMPARE(splitter->sizes().at(0), 120);
    QCOMPARE(splitter->sizes().at(1), total - 120);
  }
};

QTEST_MAIN(SettingsWidgetsTest)
#include "settings_widgets_test.moc"
