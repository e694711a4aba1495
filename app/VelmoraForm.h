#pragma once
// TEQForm: the main window. Its controls carry every setting; its handlers
// copy them into the settings block, drive the search, show the browsed
// algebra and do the file operations. The implementation is split by concern:
// VelmoraFormLayout.cpp (building the widgets and connecting them),
// VelmoraFormSettings.cpp (settings handlers and the INI file),
// VelmoraFormDisplay.cpp (tables, property labels, browsing),
// VelmoraFormFiles.cpp (file buttons, dump, winner report),
// VelmoraFormRun.cpp (start-up, Run/Stop, Reset GA, status bar, statistics file, close),
// VelmoraFormClasses.cpp (the winners' classes, "One per class"),
// VelmoraFormFind.cpp (Find: the exact finder run from the window),
// MainMenu.cpp (the menu bar), ReadableColours.cpp (colours on dark themes),
// VelmoraFormLattice.cpp (the "Lattice" tab: the Hasse diagram).

#include <array>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/AlgebraFiles.h"
#include "genetic/EQGenerations.h"
#include "app/ExchangeFiles.h"
#include "app/FindRunner.h"
#include "app/HeapGauge.h"
#include "model/SettingsFile.h"

class LatticeView;
class LogPane;
struct ExportRequest;
class QTabWidget;
class QSplitter;
class SpinEdit;
class TFormStats;

class TEQForm : public QMainWindow {
  Q_OBJECT

 public:
  // Paths the window works with; tests point them into a temporary directory.
  struct Environment {
    QString settings_file;         // "Velmora.ini"
    QString executable_directory;  // where the dialogs start
    QString current_directory;     // where "tada.wav" is looked for
    // Replaces the message box from the start, before FormCreate reads the
    // settings (tests; empty: a message box).
    std::function<void(const QString& title, const QString& text)> show_message;
  };

  explicit TEQForm(const Environment& environment, TFormStats* stats = nullptr, QWidget* parent = nullptr);
  ~TEQForm() override;

  // Hooks the tests replace: file dialogs, message boxes and the sound.
  std::function<QString()> AskOpenFileName;
  std::function<QString()> AskSaveFileName;
  std::function<void(const QString& title, const QString& text)> ShowMessage;
  // The files a save could not write: a summary box with the whole list as
  // details; with the message box replaced, the whole list as one text.
  std::function<void(const QString& title, const FailedWrites& failures)> ShowFailedWrites;
  std::function<void(const QString& wav_file)> PlaySound;
  // The Export dialog (what, format, file name); false on cancel.
  std::function<bool(ExportRequest& request)> AskExport;
  // Asked before a save replaces existing files; true replaces them (empty: a message box).
  std::function<bool(const QString& question)> AskReplace;

  // Keyboard shortcuts of Run/Stop, Open EQA file, Save EQA file, Previous and Next.
  static const QKeySequence& RunShortcut();
  static const QKeySequence& OpenShortcut();
  static const QKeySequence& SaveShortcut();
  static const QKeySequence& PreviousShortcut();
  static const QKeySequence& NextShortcut();
  static const QKeySequence& QuitShortcut();
  // The type filter of the save dialog under way (FileFilters.h).
  const QString& SaveFilter() const { return save_filter_; }
  // Where the next file dialog opens: the executable's folder, then the folder last chosen.
  const QString& DialogDirectory() const { return dialog_directory_; }

  // The window's size on a screen of the given free area.
  static QSize DefaultSize(const QSize& available);
  // Sizes the window and its three columns for a screen of the given free area.
  void ApplyDefaultGeometry(const QSize& available);
  // Width of a log pane that shows lines of the given number of characters
  // whole; the default width fits the widest line of a 5-element dump (the
  // 60-dash line closing the property lines).
  int LogWidthForColumns(int columns) const;
  static constexpr int kLogColumns = 62;

  // --- Controls (captions, ranges and defaults as the window shows them) ----
  SpinEdit* SpinEditElm = nullptr;
  SpinEdit* SpinEditOpt = nullptr;
  SpinEdit* SpinEditColor = nullptr;
  SpinEdit* SpinEditColProd = nullptr;
  SpinEdit* SpinEditMembNo = nullptr;
  SpinEdit* SpinEditGenLim = nullptr;
  SpinEdit* SpinEditSteps = nullptr;
  SpinEdit* SpinEditMut = nullptr;
  SpinEdit* SpinEditCross = nullptr;
  SpinEdit* SpinEditWinLim = nullptr;
  SpinEdit* SpinEditChild = nullptr;
  SpinEdit* SpinEditThreads = nullptr;  // "Threads": how many evaluate a generation
  SpinEdit* SpinEditMember = nullptr;

  QCheckBox* CheckBoxGood = nullptr;
  QCheckBox* CheckBoxgoodnon = nullptr;
  QCheckBox* CheckBoxInv = nullptr;
  QCheckBox* CheckBoxinvnon = nullptr;
  QCheckBox* CheckBoxSemi = nullptr;
  QCheckBox* CheckBoxSemiNon = nullptr;
  QCheckBox* CheckBoxSepar = nullptr;
  QCheckBox* CheckBoxSeparNon = nullptr;
  QCheckBox* CheckBoxResid = nullptr;
  QCheckBox* CheckBoxResNon = nullptr;
  QCheckBox* CheckBoxCom = nullptr;
  QCheckBox* CheckBoxComNon = nullptr;
  QCheckBox* CheckBoxLinear = nullptr;
  QCheckBox* CheckBoxNonLin = nullptr;
  QCheckBox* CheckBoxLat = nullptr;
  QCheckBox* CheckBoxLatNon = nullptr;
  QCheckBox* CheckBoxPre = nullptr;
  QCheckBox* CheckBoxPreLinNon = nullptr;
  QCheckBox* CheckBoxSupProd = nullptr;
  QCheckBox* CheckBoxEqProd = nullptr;
  QCheckBox* CheckBoxDeltaProp = nullptr;
  QCheckBox* CheckBoxMax = nullptr;
  QCheckBox* CheckBoxRem = nullptr;
  QCheckBox* CheckBoxDer = nullptr;
  QCheckBox* CheckBoxDumpProp = nullptr;
  QCheckBox* CheckBoxWinAuto = nullptr;
  QCheckBox* CheckBoxQuickDir = nullptr;
  QCheckBox* CheckBoxAutoSave = nullptr;
  QCheckBox* CheckBoxTada = nullptr;
  QLineEdit* EditQuickDir = nullptr;

  QTableWidget* StringGridEditInf = nullptr;
  QTableWidget* StringGridProd = nullptr;
  QTableWidget* StringGridFEq = nullptr;
  QTableWidget* StringGridDelta = nullptr;
  QTableWidget* StringGridMax = nullptr;
  QTableWidget* StringGridImp = nullptr;
  QLabel* LabelDeltaCaption = nullptr;    // "Delta", hidden with its grid
  QLabel* LabelMaximumCaption = nullptr;  // "Maximum", hidden with its grid

  QLabel* LabelAssocInf = nullptr;
  QLabel* LabelCommInf = nullptr;
  QLabel* LabelNeuInf = nullptr;
  QLabel* LabelIdInf = nullptr;
  QLabel* LabelIsoProd = nullptr;
  QLabel* LabelAssocProd = nullptr;
  QLabel* LabelNeuProd = nullptr;
  QLabel* LabelRefE = nullptr;
  QLabel* LabelSubst = nullptr;
  QLabel* LabelCon = nullptr;
  QLabel* LabelMonoImp = nullptr;
  QLabel* LabelBound = nullptr;
  QLabel* LabelFitness = nullptr;
  QLabel* LabelColorful = nullptr;
  QLabel* LabelColProd = nullptr;
  QLabel* LabelGood = nullptr;
  QLabel* LabelInv = nullptr;
  QLabel* LabelSemi = nullptr;
  QLabel* LabelSepar = nullptr;
  QLabel* LabelResid = nullptr;
  QLabel* LabelComm = nullptr;
  QLabel* LabelLinear = nullptr;
  QLabel* LabelLat = nullptr;
  QLabel* LabelPre = nullptr;
  QLabel* LabelSupProd = nullptr;
  QLabel* LabelEqProd = nullptr;
  QLabel* LabelDeltaProp = nullptr;

  QLabel* LabelPopInd = nullptr;
  QLabel* LabelGenNo = nullptr;
  QLabel* LabelPop = nullptr;
  QLabel* LabelCP = nullptr;
  QPushButton* ButtonLoadWin = nullptr;
  QPushButton* ButtonLoadPop = nullptr;
  QPushButton* ButtonPrev = nullptr;
  QPushButton* ButtonNext = nullptr;

  QPushButton* ButtonOpen = nullptr;
  QPushButton* ButtonSaveA = nullptr;
  QPushButton* ButtonSavePop = nullptr;
  QPushButton* ButtonSaveLog = nullptr;
  QPushButton* ButtonSaveDir = nullptr;
  QPushButton* ButtonQSavePop = nullptr;
  QPushButton* ButtonQuickE = nullptr;
  QPushButton* ButtonDump = nullptr;
  QPushButton* ButtonExport = nullptr;  // "Export…"
  LogPane* RichEditLog = nullptr;

  QPushButton* ButtonStep = nullptr;  // "Run" / "Stop"
  QPushButton* ButtonRand = nullptr;  // "Reset GA"
  QPushButton* ButtonStat = nullptr;  // "Show Graph"
  QTimer* Timer1 = nullptr;
  std::array<QLabel*, 9> StatusPanels{};  // the nine panels of StatusBar1

  // --- Settings and the INI file ---------------------------------------------
  void LoadSettings();
  void LogSettingsWarnings(const std::string& path);
  void ApplySettings();
  void SaveSettings();  // reports a failed write once through ShowMessage
  void SpinEditElmChange();
  void SpinEditMembNoChange();
  void SpinEditGenLimChange();
  void SpinEditStepsChange();
  void SpinEditWinLimChange();
  void SpinEditMutChange();
  void SpinEditCrossChange();
  void SpinEditChildChange();
  void SpinEditOptChange();
  void SpinEditColorChange();
  void SpinEditThreadsChange();
  void CheckBoxDeltaPropClick();
  void CheckBoxMaxClick();
  void CheckBoxRemClick();
  void CheckBoxDerClick();
  void CheckBoxGoodClick();
  void CheckBoxInvClick();
  void CheckBoxSemiClick();
  void CheckBoxSeparClick();
  void CheckBoxResidClick();
  void CheckBoxComClick();
  void CheckBoxLinearClick();
  void CheckBoxLatClick();
  void CheckBoxPreClick();
  void CheckBoxSupProdClick();
  void CheckBoxEqProdClick();
  void CheckBoxgoodnonClick();
  void CheckBoxinvnonClick();
  void CheckBoxSemiNonClick();
  void CheckBoxSeparNonClick();
  void CheckBoxResNonClick();
  void CheckBoxComNonClick();
  void CheckBoxNonLinClick();
  void CheckBoxLatNonClick();
  void CheckBoxPreLinNonClick();
  void EditQuickDirChange();
  void EditQuickDirEditingFinished();  // creates the directory

  // --- Display and browsing ----------------------------------------------------
  void ShowAlgebra();
  void ShowInfimumTable();
  void ShowProductTable();
  void ShowFEqualityTable();
  void ShowImplicationTable();
  void ShowDeltaTable();
  void ShowMaximumTable();
  void ShowRequiredProperties();
  void ShowOptionalProperties();
  void ShowPropertyResult(QLabel* label, const QString& name, int32_t count, int32_t target);
  void SelectMember();
  void BrowsePopulation(const PopulationPtr& population);
  // Whether ShownAlgebra is (still) a member of BrowsedPopulation; a step
  // under way can move members out of it. ShowAlgebra clears a stale one.
  bool ShownAlgebraIsMember() const;
  // ShownAlgebra when it is still a member, otherwise clears it and gives
  // nullptr: every handler that touches the shown algebra goes through this.
  TEQAlgebra* LiveShownAlgebra();
  void ButtonPrevClick();
  void ButtonNextClick();
  void ButtonLoadWinClick();
  void ButtonLoadPopClick();

  // --- Files and reports ---------------------------------------------------------
  void ButtonOpenClick();
  void ButtonSaveAClick();
  void ButtonSavePopClick();
  void ButtonSaveLogClick();
  void ButtonSaveDirClick();
  void ButtonQSavePopClick();
  void ButtonQuickEClick();
  void ButtonDumpClick();
  void ButtonExportClick();  // VelmoraFormExport.cpp
  // Logs the winners not yet reported and autosaves them; false when a file
  // or the quick-save directory could not be written (logged in red).
  bool ReportNewWinners();

  // --- Run loop and status ---------------------------------------------------------
  void ButtonStepClick();
  void ButtonRandClick();
  void ButtonStatClick();
  void Timer1Timer();
  void AppendStatistics();
  bool Running() const { return running_; }
  // Whether a first population is being built and evaluated (Reset GA, or a
  // run's restart after a change of the element count, Delta or Max).
  bool Resetting() const { return resetting_; }

  // --- Classes of the winners (VelmoraFormClasses.cpp) -----------------------------
  QCheckBox* CheckBoxOnePerClass = nullptr;  // "One per class"
  void CheckBoxOnePerClassClick();
  // "EQAlgebras: 103 (41 classes)": the winners and their classes so far.
  QString WinnersPanelText();
  // ", class 3f2a91c0, new class" or ", class 3f2a91c0, class of winner 0002".
  QString WinnerClassNote(int index);

  // --- Find (VelmoraFormFind.cpp) ------------------------------------------------------
  QPushButton* ButtonFind = nullptr;      // "Find" / "Stop"
  QComboBox* ComboBoxFindMode = nullptr;  // "All" / "First"
  SpinEdit* SpinEditKeep = nullptr;       // "Keep at most"
  QLabel* LabelFindStatus = nullptr;      // progress and outcome, in the status bar
  PopulationPtr FoundPopulation;          // the representatives of the last Find
  void ButtonFindClick();
  // Browses what the last Find found again (also when it found nothing).
  void LoadFoundClick();
  bool Finding() const { return find_runner_ && find_runner_->Running(); }
  FindRunner* Finder() const { return find_runner_.get(); }

  // --- The Lattice tab (VelmoraFormLattice.cpp) -----------------------------------------
  QTabWidget* TabsLog = nullptr;          // "Log" and "Lattice", beside the tables
  LatticeView* LatticeViewTab = nullptr;  // the shown algebra's Hasse diagram
  void ShowLattice();
  // Highlights the element's row and column in the tables (-1: none).
  void LatticeElementHighlighted(int position);

 signals:
  void Closed();  // the window has closed: settings saved, statistics file closed

 public:

  // --- State -----------------------------------------------------------------------
  std::unique_ptr<TEQGenerations> Generations;
  PopulationPtr BrowsedPopulation;     // shared: a step cannot free what is browsed
  TEQAlgebra* ShownAlgebra = nullptr;  // a member of BrowsedPopulation (or of its successor)
  bool DisplayReady = false;
  int32_t ReportedWinners = 0;
  bool StopRequested = false;
  QDateTime RunStartTime;   // invalid before the first run
  QDateTime StepStartTime;  // invalid before the first run
  TFormStats* FormStats = nullptr;  // not owned

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose

 private:
  void BuildLayout();
  QWidget* BuildLogTabs();  // the log and the Lattice tab
  void ConnectHandlers();
  // Desktop conventions (VelmoraFormConventions.cpp).
  void SetShortcuts();
  void BuildMenuBar();  // MainMenu.cpp
  // Colours of the labels that keep their contrast on a dark theme (ReadableColours.cpp).
  void ApplyReadableColours();
  void SetToolTips();
  QString ChooseOpenFile();  // the open dialog; remembers the folder chosen
  // The save dialog, filtered by the type it saves; remembers the folder chosen.
  QString ChooseSaveFile(const QString& filter);
  // True when none of the paths exists or the user agrees to replace them.
  bool ConfirmReplace(const QStringList& paths);
  void FormCreate();
  void FormClose();

  // Settings helpers (VelmoraFormSettings.cpp).
  SpinEdit* SpinOf(Control control) const;   // nullptr for a box or the edit
  QCheckBox* BoxOf(Control control) const;   // nullptr for a spin edit or the edit
  void ClampColourfulness();
  // A property box was clicked: its setting follows it and a ticked box unticks its partner.
  void PairClicked(QCheckBox* box, bool& setting, QCheckBox* partner, bool& partner_setting);

  // Run helpers (VelmoraFormRun.cpp).
  void OpenStatsFile();
  void WriteStatsLine(const QString& line);
  void ReportQuickDirFailure(const QString& directory);
  // Marks the window busy while a first population is made: busy cursor,
  // progress in the status bar, and the controls that would start another
  // search (Run, Reset GA, element count, Delta, Max) refused. `in_run`
  // keeps the Stop button of a run under way.
  void BeginResetting(bool in_run);
  void EndResetting();
  void ShowResetProgress();
  QString ExecutableBuildTime() const;

  // Find helpers (VelmoraFormFind.cpp).
  QLayout* BuildFindRow();  // the Find button, First/All, Keep at most
  void ConnectFindHandlers();
  void SetFindRunning(bool running);
  void FindClassArrived(const FoundClass& found);
  void FindProgressed(const FinderProgress& progress);
  void FindFinished(const FinderSummary& summary);
  void StopFindForClose();
  void LoadFindSettings();  // "Keep at most" and All/First from the settings file
  void SaveFindSettings();

  Environment environment_;
  IniFile ini_;
  bool ini_failure_reported_ = false;
  bool running_ = false;
  bool resetting_ = false;
  bool opening_ = false;  // an exchange file is being read (its reading pumps events)
  bool reset_in_run_ = false;
  QLabel* reset_progress_ = nullptr;  // in the status bar while resetting
  bool closed_ = false;
  QFile stats_file_;
  QString dialog_directory_;
  QString save_filter_;
  QSplitter* main_splitter_ = nullptr;  // controls | tables and properties | log and files
  QWidget* left_area_ = nullptr;        // the scrolling column of controls
  void ReservePropertyWidths(int elements);  // steady panel widths for algebras of this size
  int reserved_for_elements_ = 0;
  HeapGauge heap_gauge_;  // the heap size for the status bar, measured off this thread
  std::unique_ptr<FindRunner> find_runner_;
  int find_elements_ = 0;  // the element count of the Find under way
  QString quick_dir_created_;  // the last directory EditQuickDirEditingFinished created
  ExportRequest last_export_;  // the Export dialog opens on these choices
};
