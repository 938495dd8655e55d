#pragma once
// The program's one permanent window: the tool bar with the mail commands
// and the account and proxy boxes, the message list (newest first), the tab
// strip over the Message, Status and Log panes, and the three-panel status
// bar. It owns the mail database for the whole run, opens it at start-up and
// saves it when it closes. Controls, menus and menu entries carry their
// command names as object names.
#include <QMainWindow>
#include <QSet>
#include <memory>
#include <string>

#include "core/paths.h"
#include "core/stringlist.h"
#include "ui/command_state.h"
#include "ui/mail_schedule.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QTableWidget;
class QTimer;
class QToolButton;

namespace fhr {

class NameBox;
class Settings;
class RetrievalResults;
class RetrievalRunner;
class StatusPanels;
class TFHRDB;
class TPGPPassphraseCache;
class TrayHost;
struct WorkerMessage;
enum class RetrievalMode : int;

class TFHRMainWin : public QMainWindow {
  Q_OBJECT
 public:
  // Builds the window and runs the start-up it needs: the erasing library
  // (its own messages on failure, and StartAborted), settings (fonts,
  // placement), the database (in secure mode through the installed
  // passphrase prompt; on failure "Failed to initialize mail database!
  // Quitting!" and StartAborted), the passphrase cache, the account and
  // proxy boxes, the message list, the Status pane and the mail timers.
  explicit TFHRMainWin(const ResolvedPaths& paths, QWidget* parent = nullptr);
  ~TFHRMainWin() override;

  // Start-up stopped before the window was usable: it must not be shown,
  // and closing it writes nothing.
  bool StartAborted() const { return startAborted_; }

  // Recomposes the caption from the title, the newsgroup and the account
  // and proxy names when their boxes are hidden.
  void UpdateCaption();
  // A second start asked for the window: show it normally, bring it to the
  // front and give it the focus.
  void RestoreFromRequest();

  // Rebuilds the list of stored messages, newest first, and shows the count.
  void LoadMessageList();
  // The row whose key begins with `stamp`, or -1.
  int FindRowByStamp(const std::string& stamp) const;
  // Sets the read flag of the row's message in the store, the row and the list.
  void MarkRead(int row);
  // Status panel 0 / panel 2.
  void ShowStatusText(const std::string& text);
  void ShowMessageCount(int count);
  // Adds the tab when missing, selects it and brings its pane to the front.
  void SelectPane(PaneName pane);
  bool HasPane(PaneName pane) const;
  bool PaneShown(PaneName pane) const;
  // Rebuild a box from the store and select the current name, falling back
  // to "none" (with a warning) when it has gone.
  void FillAccountBox();
  void FillProxyBox();
  // Loads the record of the named account; an account that has gone is
  // reported and the active account becomes "none".
  void LoadAccountProfile(const std::string& name);
  // Enables or disables the mail controls together.
  void EnableMailControls(bool on);
  // Fills the Log pane from the store's news-server log and shows it.
  void ShowNntpLog();
  // The fewer-headers switch: refreshes the shown message and stores the state.
  void SetFewerHeaders(bool on);

  // The message list keys in row order; the object of a line is its
  // message's cached lines (a StringList) once the message was shown.
  const StringList& mail() const { return mail_; }
  const std::string& CurrentMessageKey() const { return curmsgkey_; }
  const std::string& AccountName() const { return account_; }
  const std::string& ProxyName() const { return proxy_; }
  TFHRDB* database() { return db_.get(); }
  TPGPPassphraseCache* passphraseCache() { return cache_.get(); }

  // Mail commands (main_window_mail.cpp). Get Mail is GetBtn's click and
  // the File menu's entry: while a get or check pass runs it cancels it;
  // while a catch-up runs, or while an earlier Get Mail is still asking its
  // questions, it does nothing.
  void GetMailCommand();
  // Asks, then starts a catch-up pass.
  void CatchUpCommand();
  // A retrieval worker exists.
  bool RetrievalRunning() const;
  // The id of the running pass, 0 when none.
  int CurrentPass() const;
  bool ErrorPending() const { return errorPending_; }
  const StringList& ErrorLines() const { return errorLines_; }

  // Unattended checking. The start timer's shot: the timed check starts
  // counting and a pass starts now when the rules allow one. One minute of
  // the timed check. Both start a pass only when none runs, no dialog is
  // open, no error is pending and Get Mail is not already under way.
  void StartTimerFired();
  void CheckMailMinute();
  // Starts the start timer when "checkmail" is on and the timed check is
  // not running; stops the timed check when "checkmail" is off.
  void ApplyCheckMailSetting();
  bool StartTimerActive() const;
  bool CheckMailTimerActive() const;

  // The tray (main_window_tray.cpp). The window replaces its host (tests
  // play one); without a notification area minimising is ordinary.
  void ReplaceTrayHost(std::unique_ptr<TrayHost> host);
  TrayHost* trayHost() { return tray_.get(); }
  // Hides the window into the tray (when the tray exists).
  void MinimizeToTray();
  // Shows the window again and removes the tray icon.
  void RestoreFromTray();
  bool InTray() const { return inTray_; }
  int TrayIconIndex() const { return trayIconIndex_; }
  int NewMailCount() const { return newMailCount_; }

  // Decrypts the selected message through the decryption workflow and shows
  // the result (main_window_decrypt.cpp).
  void DecryptCommand();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Layout (main_window_layout.cpp).
  void BuildToolBar();
  void BuildPanes();
  void BuildMenus();
  void ApplyFonts();
  QAction* AddAction(QMenu* menu, const char* name, const QString& caption);
  // The menu entry of that object name.
  QAction* Command(const char* name) const;
  void MarkStandIn(QObject* command);
  void SetAvailable(QObject* command, bool on);

  // Availability (main_window_menus.cpp).
  WindowView CurrentView() const;
  void ApplyPaneRules();
  void UpdateFileMenu();
  void UpdateEditMenu();
  void UpdateToolsMenus();
  void UpdatePopup1();
  void UpdatePopup2();
  QPlainTextEdit* VisiblePane() const;

  // The message list (main_window_list.cpp).
  void FillMessageRow(int row, const std::string& key, StringList& lines);
  std::shared_ptr<StringList> CachedLines(std::size_t row) const;
  bool AnySelectedNeedsDecryption() const;
  QList<int> SelectedRows() const;
  void OnRowsSelected();
  void ShowLines(const StringList& lines);
  void SelectAllRows();
  void CopyFromPane();
  void SelectAllInPane();
  void OnMessagePaneChanged();
  void DeleteCommand(bool fromContextMenu);
  void DeleteSelected();

  // Retrieval (main_window_mail.cpp).
  void StartPass(RetrievalMode mode);
  void CancelPass();
  void ReleasePass(int pass);
  void OnWorkerMessage(int pass, WorkerMessage& message);
  void AddNewMessageRow(const std::string& key);
  void OnRunFinished();
  void OnWorkerError(const std::string& text);
  void OnStatusPanelPressed(int panel);
  void ShakeErrorText();
  void OnSubjectsToggled(bool on);
  PassGate CurrentGate() const;
  bool HasActiveSubjectLine();
  void SaveDatabaseCommand();

  // Tray (main_window_tray.cpp).
  void BuildTrayMenu();
  void AddTrayIcon(int index);
  void SetTrayIcon(int index, const QString& tip);
  void RemoveTrayIcon();
  bool TrayUsable() const;

  // Start-up and closing (main_window.cpp).
  bool CloseRequest();
  bool OpenDatabase();
  void LoadStatusPane();
  bool SaveOnClose();
  void OnAccountChosen(const std::string& name);
  void OnProxyChosen(const std::string& name);
  // True when the manager closed with OK.
  bool OpenAccountManager();
  void OpenProxyManager();
  void OpenKeyrings();

  ResolvedPaths paths_;
  std::unique_ptr<Settings> settings_;
  std::unique_ptr<TFHRDB> db_;
  bool startAborted_ = false;
  bool needsPacking_ = false;
  bool fillingPane_ = false;
  std::string placementFingerprint_;

  StringList mail_;
  std::string curmsgkey_;
  std::string account_ = "none";
  std::string proxy_ = "none";
  StringList profile_;

  // Retrieval and its notices.
  std::unique_ptr<RetrievalRunner> runner_;
  std::unique_ptr<RetrievalResults> results_;
  bool getMailBusy_ = false;
  bool errorPending_ = false;
  StringList errorLines_;
  int shakeCounter_ = 0;
  MailCheckSchedule schedule_;
  QTimer* startTimer_ = nullptr;
  QTimer* checkMailTimer_ = nullptr;
  QTimer* timer4_ = nullptr;
  // The passphrase cache and its expiry timer.
  std::unique_ptr<TPGPPassphraseCache> cache_;
  QTimer* cacheTimer_ = nullptr;
  bool eraserLoaded_ = false;
  // The tray.
  std::unique_ptr<TrayHost> tray_;
  QMenu* trayMenu_ = nullptr;
  bool inTray_ = false;
  int newMailCount_ = 0;
  int trayIconIndex_ = 0;

  // Tool bar.
  QWidget* toolBar_ = nullptr;
  QPushButton* getBtn_ = nullptr;
  QPushButton* copyMsgBtn_ = nullptr;
  QToolButton* copyBtn_ = nullptr;
  QToolButton* decryptBtn_ = nullptr;
  QToolButton* deleteBtn_ = nullptr;
  QCheckBox* subjects_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  NameBox* serverBox_ = nullptr;
  NameBox* proxyBox_ = nullptr;
  // List and panes.
  QSplitter* splitter_ = nullptr;
  QTableWidget* listView_ = nullptr;
  QTabBar* tabControl_ = nullptr;
  QCheckBox* fewerHeaders_ = nullptr;
  QStackedWidget* paneStack_ = nullptr;
  QPlainTextEdit* message_ = nullptr;
  QPlainTextEdit* status_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  StatusPanels* statusBar_ = nullptr;
  // Menus.
  QMenu* fileMenu_ = nullptr;
  QMenu* open1_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* view1_ = nullptr;
  QMenu* toolsMenu_ = nullptr;
  QMenu* messages1_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  QMenu* popupMenu2_ = nullptr;
  // Commands that other parts of the program have yet to provide: shown,
  // never enabled.
  QSet<QObject*> standIns_;
};

}  // namespace fhr
