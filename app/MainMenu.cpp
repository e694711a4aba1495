// The menu bar: the usual commands of a desktop program, each the twin of a
// button of the window (which stays where it is). A menu command does what a
// click on its button does, and is greyed out exactly when the button is.
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include "app/AboutBox.h"
#include "app/VelmoraForm.h"

namespace {

// Keeps an action's enabled state with its button's, also for the
// shortcuts, which a greyed action does not take.
class FollowButton : public QObject {
 public:
  FollowButton(QPushButton* button, QAction* action) : QObject(action), button_(button), action_(action) {
    button->installEventFilter(this);
    action->setEnabled(button->isEnabled());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == button_ && event->type() == QEvent::EnabledChange) action_->setEnabled(button_->isEnabled());
    return false;
  }

 private:
  QPushButton* button_;
  QAction* action_;
};

QAction* AddCommand(QMenu* menu, const QString& text, const std::function<void()>& run,
                    const QKeySequence& keys = QKeySequence()) {
  QAction* action = menu->addAction(text);
  if (!keys.isEmpty()) action->setShortcut(keys);
  QObject::connect(action, &QAction::triggered, menu, run);
  return action;
}

// A command that clicks a button: refused when the button is greyed.
QAction* AddButton(QMenu* menu, const QString& text, QPushButton* button, const QKeySequence& keys = QKeySequence()) {
  QAction* action = AddCommand(menu, text, [button] {
    if (button->isEnabled()) button->click();
  }, keys);
  new FollowButton(button, action);
  return action;
}

}  // namespace

const QKeySequence& TEQForm::QuitShortcut() {
  static const QKeySequence keys(Qt::CTRL | Qt::Key_Q);
  return keys;
}

void TEQForm::BuildMenuBar() {
  QMenuBar* bar = menuBar();

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  AddButton(file, QStringLiteral("&Open EQA file…"), ButtonOpen, OpenShortcut());
  AddButton(file, QStringLiteral("&Save EQA file…"), ButtonSaveA, SaveShortcut());
  AddButton(file, QStringLiteral("Save &Population As…"), ButtonSavePop);
  AddButton(file, QStringLiteral("Save Pop. As &EQAs…"), ButtonSaveDir);
  AddButton(file, QStringLiteral("Save &Report As…"), ButtonSaveLog);
  AddButton(file, QStringLiteral("E&xport…"), ButtonExport);
  file->addSeparator();
  AddCommand(file, QStringLiteral("&Quit"), [this] { close(); }, QuitShortcut());

  QMenu* search = bar->addMenu(QStringLiteral("&Search"));
  QAction* run = AddButton(search, QStringLiteral("&Run"), ButtonStep, RunShortcut());
  AddButton(search, QStringLiteral("Reset &GA"), ButtonRand);
  QAction* find = AddButton(search, QStringLiteral("&Find"), ButtonFind);
  // The two that turn into Stop say so when the menu opens.
  connect(search, &QMenu::aboutToShow, this, [this, run, find] {
    run->setText(running_ ? QStringLiteral("&Stop run") : QStringLiteral("&Run"));
    find->setText(Finding() ? QStringLiteral("Stop &Find") : QStringLiteral("&Find"));
  });

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  AddButton(view, QStringLiteral("Load &Winners"), ButtonLoadWin);
  AddButton(view, QStringLiteral("Load &Last pop"), ButtonLoadPop);
  AddCommand(view, QStringLiteral("Load &Found"), [this] { LoadFoundClick(); });
  view->addSeparator();
  AddButton(view, QStringLiteral("Show &Graph"), ButtonStat);

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  AddCommand(help, QStringLiteral("Velmora &Manual"), [this] { ShowManual(this); }, QKeySequence::HelpContents);
  AddCommand(help, QStringLiteral("&About Velmora"), [this] { ShowAbout(this); });
}
