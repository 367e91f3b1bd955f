// The window mirrors the model: captions and defaults, enabled states while
// busy, the history, both logs, the menu, the About box and the settings.
// Its buttons run an export, a compare and a plan of the demo database.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>

#include <filesystem>
#include <memory>

#include "about_dialog.h"
#include "app/application.h"
#include "app/profile_file.h"
#include "common/platform.h"
#include "main_window.h"
#include "qt_front_end.h"
#include "side_bar_menu.h"
#include "support/emulator_tool.h"
#include "support/temp_folder.h"

using namespace skelvane;
using namespace skelvane::gui;
using skelvane::testing::TTempFolder;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The real Qt front end, with the modal boxes recorded instead of shown.
class TTestFrontEnd : public TQtFrontEnd {
 public:
  QStringList errors;
  QStringList links;
  int aboutBoxes = 0;
  int popups = 0;
  // Common-log lines the window showed at each chance to repaint.
  std::vector<int> shownAtRepaint;

  void ShowErrorBox(const std::string& title, const std::string& message) override {
    errors << Q(title) + QStringLiteral(": ") + Q(message);
  }
  void ShowDebugBox(const std::string&) override {}
  bool OpenLink(const std::string& url) override {
    links << Q(url);
    return true;
  }
  void ShowAboutBox(TAboutForm&) override { ++aboutBoxes; }
  void ShowPopupMenu(const TPopupMenuModel&) override { ++popups; }
  void ProcessMessages() override {
    TQtFrontEnd::ProcessMessages();
    if (MainWindow()) shownAtRepaint.push_back(MainWindow()->MemoLog()->document()->blockCount());
  }
};

std::string SourceDir() { return platform::GetEnv("SKELVANE_SOURCE_DIR"); }

// The demo database, and an empty TARGET with the same users, in a folder.
void MakeDemo(const std::string& folder) {
  using skelvane::testing::EmulatorTool;
  using skelvane::testing::RunCommand;
  using skelvane::testing::ShellQuote;
  std::string output;
  int status = RunCommand("bash " + ShellQuote(SourceDir() + "/demo/make-demo.sh") + " " +
                              ShellQuote(folder) + " " + ShellQuote(EmulatorTool()),
                          &output);
  QVERIFY2(status == 0, output.c_str());
  const std::string env = "ORAEMU_DATA=" + ShellQuote(folder) + " ";
  status = RunCommand(env + ShellQuote(EmulatorTool()) + " create TARGET --system-password manager", &output);
  QVERIFY2(status == 0, output.c_str());
  status = RunCommand(env + ShellQuote(EmulatorTool()) + " run TARGET system/manager " +
                          ShellQuote(SourceDir() + "/demo/users.sql"),
                      &output);
  QVERIFY2(status == 0, output.c_str());
}

// On the box itself: a check box takes clicks on its indicator and text only.
void Click(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

void SetLineText(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

}  // namespace

class GuiMainWindow : public QObject {
  Q_OBJECT

  std::unique_ptr<TTempFolder> folder_;
  std::unique_ptr<TTestFrontEnd> frontEnd_;
  std::unique_ptr<TApplication> app_;
  std::unique_ptr<TMainWindow> window_;

  TmForm_skelvane& Form() { return *app_->mForm_skelvane; }
  std::string Ini() const { return *folder_ / "config/skelvane.ini"; }

  void Start() {
    app_ = std::make_unique<TApplication>(*frontEnd_, *folder_ / "bin/skelvane");
    app_->StartUp();
    Form().FormStorage1.IniFileName = Ini();
    window_ = std::make_unique<TMainWindow>(*app_);
    frontEnd_->SetMainWindow(window_.get());
    window_->ShowMainForm();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void Stop() {
    if (window_) window_->close();
    frontEnd_->SetMainWindow(nullptr);
    window_.reset();
    app_.reset();
  }

  // Every input the frame disables while an operation runs.
  std::vector<QWidget*> Inputs() const {
    return {window_->DatabaseName(),  window_->UserName(),         window_->Password(),
            window_->ButtonGet(),     window_->ButtonTest(),       window_->FilenameEdit1(),
            window_->FilenameEdit2(), window_->EnableExport(),     window_->SequenceSetZero(),
            window_->ClearEveryTime(), window_->BulkRead(),        window_->PlanOnly()};
  }

  void FillLogon(const QString& database, const QString& user, const QString& password) {
    SetLineText(window_->DatabaseName(), database);
    SetLineText(window_->UserName()->lineEdit(), user);
    SetLineText(window_->Password(), password);
  }

 private slots:
  void init() {
    folder_ = std::make_unique<TTempFolder>("gui");
    frontEnd_ = std::make_unique<TTestFrontEnd>();
    Start();
  }
  void cleanup() {
    Stop();
    frontEnd_.reset();
    folder_.reset();
  }

  void startsWithTheDesignedCaptionFieldsAndDisabledExport() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Skelvane v.1.0.0.4"));
    QCOMPARE(window_->DatabaseName()->text(), QStringLiteral("XE"));
    QCOMPARE(window_->UserName()->currentText(), QStringLiteral("UserName"));
    QCOMPARE(window_->UserName()->count(), 0);
    QCOMPARE(window_->Password()->echoMode(), QLineEdit::Password);
    QCOMPARE(window_->FilenameEdit1()->Edit()->text(), QStringLiteral("test._sdb"));
    QCOMPARE(window_->FilenameEdit2()->Edit()->text(), QStringLiteral("test._sdb"));
    QVERIFY(!window_->ButtonGet()->isEnabled());
    QVERIFY(!window_->FilenameEdit1()->isEnabled());
    QVERIFY(window_->ButtonTest()->isEnabled());
    QCOMPARE(window_->ButtonGet()->text(), QStringLiteral("Read schema from database and write to SDB-file"));
    QCOMPARE(window_->ButtonTest()->text(), QStringLiteral("Compare schema with SDB-file data and update"));
    QCOMPARE(window_->Logs()->count(), 2);
    QCOMPARE(window_->Logs()->tabText(0), QStringLiteral("Common log"));
    QCOMPARE(window_->Logs()->tabText(1), QStringLiteral("Update log"));
    QCOMPARE(window_->Logs()->currentIndex(), 0);
    QCOMPARE(window_->PanelLog()->height(), 164);
    QCOMPARE(window_->ImageButton()->toolTip(), QStringLiteral("Main menu"));
    QCOMPARE(QString::fromStdString(Form().ActiveControl), QStringLiteral("Password"));
  }

  void tickingEnabledExportEnablesTheExportButtonAndField() {
    Click(window_->EnableExport());
    QVERIFY(Form().cbEnableExport.Checked());
    QVERIFY(window_->ButtonGet()->isEnabled());
    QVERIFY(window_->FilenameEdit1()->isEnabled());
    Click(window_->EnableExport());
    QVERIFY(!window_->ButtonGet()->isEnabled());
    QVERIFY(!window_->FilenameEdit1()->isEnabled());
  }

  void bulkAndPlanOptionsSitWithTheOtherOptionsAndFollowTheModel() {
    struct TOption {
      QCheckBox* box;
      TCheckModel& model;
      QString caption;
    };
    const QList<TOption> options = {{window_->BulkRead(), Form().cbBulkRead, QStringLiteral("Bulk dictionary reads")},
                                    {window_->PlanOnly(), Form().cbPlanOnly, QStringLiteral("Plan only")}};
    for (const TOption& o : options) {
      QVERIFY(o.box);
      QCOMPARE(o.box->text(), o.caption);
      QCOMPARE(o.box->objectName(), Q(o.model.Name()));
      QCOMPARE(window_->Control(o.model.Name()), static_cast<QWidget*>(o.box));
      QVERIFY(o.box->isVisible());
      QVERIFY(o.box->isEnabled());
      QVERIFY(!o.box->isChecked());  // per object, and the compare updates
      QCOMPARE(o.box->parentWidget(), window_->EnableExport()->parentWidget());
      Click(o.box);
      QVERIFY(o.model.Checked());
      QVERIFY(o.box->isChecked());
      o.model.SetChecked(false);
      QVERIFY(!o.box->isChecked());
      o.model.SetChecked(true);
      QVERIFY(o.box->isChecked());
      o.model.SetEnabled(false);
      QVERIFY(!o.box->isEnabled());
      o.model.SetEnabled(true);
      QVERIFY(o.box->isEnabled());
    }
    // Ticking one option leaves the others alone.
    QVERIFY(!Form().cbEnableExport.Checked());
    QVERIFY(!Form().cbSequenceSetZero.Checked());
    QVERIFY(!Form().cbClearEveryTime.Checked());

    // Beside the other options, below their heading, none covering another.
    const QList<QWidget*> boxes = {window_->EnableExport(), window_->SequenceSetZero(), window_->BulkRead(),
                                   window_->PlanOnly()};
    const QWidget* heading = window_->Control("Label6");
    QVERIFY(heading);
    for (int i = 0; i < boxes.size(); ++i) {
      QVERIFY2(boxes[i]->geometry().top() >= heading->geometry().top(), qPrintable(boxes[i]->objectName()));
      QVERIFY2(boxes[i]->geometry().bottom() <= boxes[i]->parentWidget()->height(),
               qPrintable(boxes[i]->objectName()));
      for (int j = i + 1; j < boxes.size(); ++j)
        QVERIFY2(!boxes[i]->geometry().intersects(boxes[j]->geometry()),
                 qPrintable(boxes[i]->objectName() + QLatin1Char('/') + boxes[j]->objectName()));
    }
  }

  void editsReachTheModelAndModelChangesReachTheView() {
    FillLogon(QStringLiteral("ORCL"), QStringLiteral("scott"), QStringLiteral("tiger"));
    QCOMPARE(Form().DatabaseName.Text(), std::string("ORCL"));
    QCOMPARE(Form().UserName.Text(), std::string("scott"));
    QCOMPARE(Form().Password.Text(), std::string("tiger"));
    Form().UserName.SetItems({"alpha", "beta"});
    QCOMPARE(window_->UserName()->count(), 2);
    QCOMPARE(window_->UserName()->currentText(), QStringLiteral("scott"));
    window_->UserName()->setCurrentIndex(1);  // picking from the history
    QCOMPARE(Form().UserName.Text(), std::string("beta"));
    Form().FilenameEdit2.FilePicked("/data/my schema._sdb");
    QCOMPARE(window_->FilenameEdit2()->Edit()->text(), QStringLiteral("\"/data/my schema._sdb\""));
    Form().WriteLog("first\r\nsecond", false, true);
    QCOMPARE(window_->MemoLog()->toPlainText(), QStringLiteral("first\nsecond"));
    QCOMPARE(window_->UpdateLog()->toPlainText(), QStringLiteral("first\nsecond"));
    Form().MemoLog.Clear();
    Form().WriteLog("third", false, false);
    QCOMPARE(window_->MemoLog()->toPlainText(), QStringLiteral("third"));
    window_->Logs()->setCurrentIndex(1);
    QCOMPARE(Form().pcLogs.ActivePageIndex(), 1);
  }

  void buttonsExportAndCompareTheDemoDatabase() {
    const std::string data = *folder_ / "emu";
    MakeDemo(data);
    platform::SetEnv("ORAEMU_DATA", data);
    platform::ProcessParameters() = {"OCIDLL=" + skelvane::testing::EmulatorLibrary()};
    const QString document = QString::fromStdString(*folder_ / "demo export._sdb");

    FillLogon(QStringLiteral("DEMO"), QStringLiteral("demo_app"), QStringLiteral("demo_app_pw"));
    Click(window_->EnableExport());
    SetLineText(window_->FilenameEdit1()->Edit(), document);
    std::vector<bool> enabledWhileBusy;
    const TOperation exportSchema = Form().ExportOperation;
    Form().ExportOperation = [&](TOperationHost& host, TDM& dm) {
      for (QWidget* w : Inputs()) enabledWhileBusy.push_back(w->isEnabled());
      exportSchema(host, dm);
    };
    QTest::mouseClick(window_->ButtonGet(), Qt::LeftButton);

    QVERIFY2(frontEnd_->errors.isEmpty(), qPrintable(frontEnd_->errors.join('\n')));
    QCOMPARE(enabledWhileBusy, std::vector<bool>(Inputs().size(), false));
    for (QWidget* w : Inputs()) QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(std::filesystem::file_size(document.toStdString()) > 1000);
    QVERIFY(Form().MemoLog.Lines().size() > 3);
    QCOMPARE(window_->MemoLog()->toPlainText(), Q(Form().MemoLog.Text()));
    QCOMPARE(window_->UserName()->count(), 1);
    QCOMPARE(window_->UserName()->itemText(0), QStringLiteral("demo_app"));

    // The compare brings the empty TARGET in line, one Update-log line per
    // statement, and lets the window repaint as the log grows.
    SetLineText(window_->DatabaseName(), QStringLiteral("TARGET"));
    SetLineText(window_->FilenameEdit2()->Edit(), document);
    Click(window_->ClearEveryTime());
    frontEnd_->shownAtRepaint.clear();
    QTest::mouseClick(window_->ButtonTest(), Qt::LeftButton);
    QVERIFY2(frontEnd_->errors.isEmpty(), qPrintable(frontEnd_->errors.join('\n')));
    QVERIFY(Form().UpdateLog.Lines().size() > 5);
    QCOMPARE(window_->UpdateLog()->toPlainText(), Q(Form().UpdateLog.Text()));
    QCOMPARE(window_->MemoLog()->toPlainText(), Q(Form().MemoLog.Text()));
    QVERIFY(!window_->MemoLog()->toPlainText().contains(document));  // cleared first
    const auto& shown = frontEnd_->shownAtRepaint;
    QVERIFY(shown.size() > 5);
    QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    QVERIFY(shown.front() < shown.back());
    QCOMPARE(window_->UserName()->count(), 1);  // the same user again
    for (QWidget* w : Inputs()) QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
  }

  // Plan only, ticked in the window: the compare shows the script on the
  // Update log page and changes nothing, so a second plan is the same.
  void planOnlyShowsTheScriptAndLeavesTheDatabaseAlone() {
    const std::string data = *folder_ / "emu";
    MakeDemo(data);
    platform::SetEnv("ORAEMU_DATA", data);
    platform::ProcessParameters() = {"OCIDLL=" + skelvane::testing::EmulatorLibrary()};
    const QString document = QString::fromStdString(*folder_ / "demo._sdb");
    FillLogon(QStringLiteral("DEMO"), QStringLiteral("demo_app"), QStringLiteral("demo_app_pw"));
    Click(window_->EnableExport());
    Click(window_->BulkRead());
    SetLineText(window_->FilenameEdit1()->Edit(), document);
    QTest::mouseClick(window_->ButtonGet(), Qt::LeftButton);
    QVERIFY2(frontEnd_->errors.isEmpty(), qPrintable(frontEnd_->errors.join('\n')));
    QVERIFY(std::filesystem::file_size(document.toStdString()) > 1000);

    Click(window_->PlanOnly());
    SetLineText(window_->DatabaseName(), QStringLiteral("TARGET"));
    SetLineText(window_->FilenameEdit2()->Edit(), document);
    QStringList scripts;
    for (int run = 0; run < 2; ++run) {
      const int before = Form().PlannedStatements;
      Form().UpdateLog.Clear();
      QTest::mouseClick(window_->ButtonTest(), Qt::LeftButton);
      QVERIFY2(frontEnd_->errors.isEmpty(), qPrintable(frontEnd_->errors.join('\n')));
      QVERIFY(Form().PlannedStatements - before > 5);
      scripts << window_->UpdateLog()->toPlainText();
      QCOMPARE(scripts.last(), Q(Form().UpdateLog.Text()));
    }
    QCOMPARE(scripts[1], scripts[0]);
    const QStringList lines = scripts[0].split(QLatin1Char('\n'));
    QVERIFY(lines.contains(QStringLiteral("/")));
    QVERIFY2(lines.first().startsWith(QStringLiteral("create table AUDIT_LOG (")), qPrintable(lines.first()));
    QVERIFY(lines.first().endsWith(QLatin1Char(';')));
    QVERIFY(lines.last() == QStringLiteral("/") || lines.last().endsWith(QLatin1Char(';')));
    for (const QString& line : lines) QVERIFY2(!line.startsWith(QLatin1Char('\t')), qPrintable(line));
    for (QWidget* w : Inputs()) QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
  }

  void wrongPasswordShowsOneStampedLineAndTheWindowIsIdle() {
    const std::string data = *folder_ / "emu";
    MakeDemo(data);
    platform::SetEnv("ORAEMU_DATA", data);
    platform::ProcessParameters() = {"OCIDLL=" + skelvane::testing::EmulatorLibrary()};
    FillLogon(QStringLiteral("DEMO"), QStringLiteral("demo_app"), QStringLiteral("wrong"));
    QTest::mouseClick(window_->ButtonTest(), Qt::LeftButton);
    const QString log = window_->MemoLog()->toPlainText();
    QCOMPARE(log.count(QLatin1Char('\n')), 0);
    QVERIFY2(QRegularExpression(QStringLiteral(
                 "^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d:Ошибка базы данных\\. причина:ORA-01017"))
                 .match(log)
                 .hasMatch(),
             qPrintable(log));
    QVERIFY(window_->Password()->isEnabled());
    QVERIFY(frontEnd_->errors.isEmpty());
  }

  void aFailureOutsideTheDatabaseGoesToTheErrorBoxAndFreesTheWindow() {
    const std::string data = *folder_ / "emu";
    MakeDemo(data);
    platform::SetEnv("ORAEMU_DATA", data);
    platform::ProcessParameters() = {"OCIDLL=" + skelvane::testing::EmulatorLibrary()};
    FillLogon(QStringLiteral("DEMO"), QStringLiteral("demo_app"), QStringLiteral("demo_app_pw"));
    Click(window_->EnableExport());
    SetLineText(window_->FilenameEdit1()->Edit(), Q(*folder_ / "no such folder/out._sdb"));
    QTest::mouseClick(window_->ButtonGet(), Qt::LeftButton);
    QCOMPARE(frontEnd_->errors.size(), 1);
    // The file system's failure, titled with the application title.
    QCOMPARE(frontEnd_->errors[0], QStringLiteral("Skelvane: I/O error 2."));
    for (QWidget* w : Inputs()) QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
  }

  void tabOrderFollowsTheDesign() {
    const QList<QWidget*> wanted = {window_->DatabaseName(), window_->UserName(),
                                    window_->Password(),     window_->ButtonGet(),
                                    window_->FilenameEdit1()->Edit(), window_->ButtonTest(),
                                    window_->FilenameEdit2()->Edit(), window_->Logs(),
                                    window_->EnableExport(), window_->SequenceSetZero(),
                                    window_->BulkRead(),     window_->PlanOnly()};
    QList<QWidget*> seen;
    QWidget* w = wanted.first();
    for (int guard = 0; guard < 200 && seen.size() < wanted.size(); ++guard, w = w->nextInFocusChain())
      if (wanted.contains(w) && !seen.contains(w)) seen << w;
    QCOMPARE(seen, wanted);
  }

  void popupMenuShowsEveryItemAndState() {
    QTest::mouseClick(window_->ImageButton(), Qt::LeftButton);
    QCOMPARE(frontEnd_->popups, 1);
    std::unique_ptr<TSideBarMenu> menu(window_->BuildPopupMenu());
    QCOMPARE(menu->SideBarWidth(), 28);
    QCOMPARE(menu->SideBarCaption(), QStringLiteral("Skelvane"));
    QCOMPARE(menu->SideBarColour(), QColor(Qt::white));
    QCOMPARE(menu->SideBarBackground(), QColor(Qt::red));
    struct TItem {
      QString text;
      bool enabled;
      bool submenu;
    };
    const QList<TItem> wanted = {{"Help", true, true},          {"", true, false},
                                 {"Main", false, true},         {"Tools", false, false},
                                 {"Settings", false, false},    {"", true, false},
                                 {"Exit from program", true, false}};
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), wanted.size());
    menu->ensurePolished();
    menu->adjustSize();
    for (int i = 0; i < actions.size(); ++i) {
      QCOMPARE(actions[i]->isSeparator(), wanted[i].text.isEmpty());
      if (actions[i]->isSeparator()) continue;
      QCOMPARE(actions[i]->text(), wanted[i].text);
      QCOMPARE(actions[i]->isEnabled(), wanted[i].enabled);
      QCOMPARE(actions[i]->menu() != nullptr, wanted[i].submenu);
      QCOMPARE(menu->actionGeometry(actions[i]).height(), 24);
      QVERIFY(menu->actionGeometry(actions[i]).left() >= 28);
    }
    QCOMPARE(actions[6]->shortcut(), QKeySequence(QStringLiteral("Alt+X")));
    const QList<QAction*> help = actions[0]->menu()->actions();
    QCOMPARE(help.size(), 3);
    QCOMPARE(help[0]->text(), QStringLiteral("About program..."));
    QVERIFY(help[0]->isEnabled());
    QCOMPARE(help[1]->text(), QStringLiteral("Web site..."));
    QVERIFY(!help[1]->isEnabled());
    QCOMPARE(help[2]->text(), QStringLiteral("Content"));
    QVERIFY(!help[2]->isEnabled());
    QCOMPARE(actions[2]->menu()->actions().value(0)->text(), QStringLiteral("Compare shemas"));

    help[0]->trigger();
    QCOMPARE(frontEnd_->aboutBoxes, 1);
    actions[6]->trigger();
    QVERIFY(!window_->isVisible());
  }

  void aboutBoxIsFramelessSizedAndClosesByEscOrItsButton() {
    QStringList opened;
    TAboutForm form([&opened](const std::string& url) {
      opened << Q(url);
      return TUrl::kOpened;
    });
    form.Label1 = "Skelvane.";
    for (int way = 0; way < 2; ++way) {
      TAboutDialog dialog(form, AboutPicture(), window_.get());
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QCOMPARE(dialog.size(), QSize(321, 332));
      QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
      QCOMPARE(dialog.Image1()->size(), QSize(105, 105));
      QVERIFY(!dialog.Image1()->pixmap().isNull());
      QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Skelvane."));
      QCOMPARE(dialog.BitBtn1()->text(), QStringLiteral("Закрыть"));
      if (way == 0) QTest::keyClick(&dialog, Qt::Key_Escape);
      else QTest::mouseClick(dialog.BitBtn1(), Qt::LeftButton);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    QVERIFY(window_->isEnabled());
  }

  void linksLightUpUnderThePointerAndOpenOnClick() {
    QStringList opened;
    TAboutForm form([&opened](const std::string& url) {
      opened << Q(url);
      return TUrl::kOpened;
    });
    TAboutDialog dialog(form, AboutPicture(), window_.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    TUrlLabel* link = dialog.Url1();
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor("navy"));
    QVERIFY(!link->font().underline());
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(link, &enter);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor("blue"));
    QVERIFY(link->font().underline());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor("navy"));
    QVERIFY(!link->font().underline());
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(opened, QStringList{Q(form.Url1.URL())});
    QCOMPARE(link->toolTip(), Q(form.Url1.URL()));
  }

  void aCorruptPictureLeavesAnEmptyFrame() {
    TAboutForm form([](const std::string&) { return TUrl::kOpened; });
    const QByteArray picture = AboutPicture();
    TAboutDialog dialog(form, picture.left(picture.size() - 40), window_.get());
    QVERIFY(dialog.Image1()->pixmap().isNull());
    QCOMPARE(dialog.Image1()->frameShape(), QFrame::Box);
  }

  void settingsAreSavedOnCloseAndRestoredOnTheNextShow() {
    Form().DatabaseName.SetText("ORCL");
    Form().UserName.SetItems({"scott", "hr"});
    Form().PanelLog.SetHeight(220);
    Click(window_->PlanOnly());
    window_->setGeometry(40, 50, 900, 640);
    Stop();
    const TProfileFile ini(Ini());
    QCOMPARE(Q(ini.ReadString("main", "NormPos", "")), QStringLiteral("40,50,940,690"));
    QCOMPARE(Q(ini.ReadString("main", "PanelLog_Height", "")), QStringLiteral("220"));
    QCOMPARE(Q(ini.ReadString("main", "Visible", "")), QStringLiteral("0"));
    QCOMPARE(Q(ini.ReadString("main", "cbBulkRead_Checked", "")), QStringLiteral("False"));
    QCOMPARE(Q(ini.ReadString("main", "cbPlanOnly_Checked", "")), QStringLiteral("True"));
    Start();
    QCOMPARE(window_->geometry(), QRect(40, 50, 900, 640));
    QCOMPARE(window_->DatabaseName()->text(), QStringLiteral("ORCL"));
    QCOMPARE(window_->UserName()->count(), 2);
    QCOMPARE(window_->PanelLog()->height(), 220);
    QVERIFY(window_->PlanOnly()->isChecked());
    QVERIFY(!window_->BulkRead()->isChecked());
    QVERIFY(!window_->ButtonGet()->isEnabled());
  }
};

QTEST_MAIN(GuiMainWindow)
#include "main_window_test.moc"
