#include "gui_qt/config_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "config_ui/main_window.h"
#include "config_ui/window_layout.h"
#include "gui_qt/text_1252.h"

namespace valico {
namespace {

constexpr int kFieldWidth = 180;  // pixels

}  // namespace

ConfigWindow::ConfigWindow(FormModel& form) : form_(form) {
  setWindowTitle(FromBytes(kWindowCaption));
  setFont(QFont(kWindowFont, 9));

  auto* central = new QWidget(this);
  auto* columns = new QHBoxLayout(central);
  QVBoxLayout* column[3];
  for (auto*& c : column) {
    c = new QVBoxLayout;
    columns->addLayout(c, 1);
  }
  for (const LayoutGroup& group : WindowGroups()) column[group.column]->addWidget(MakeGroup(group));
  column[0]->addStretch();
  column[1]->addStretch();
  column[2]->addStretch();
  for (const LayoutButton& b : WindowButtons()) {
    auto* button = new QPushButton(FromBytes(b.caption));
    button->setObjectName(b.name);
    connect(button, &QPushButton::clicked, this,
            [this, name = QString(b.name)] { emit buttonClicked(name); });
    column[b.column]->addWidget(button);
  }
  setCentralWidget(central);
  MakeMenus();
  Refresh();
}

QWidget* ConfigWindow::MakeGroup(const LayoutGroup& group) {
  QWidget* box = *group.heading ? new QGroupBox(FromBytes(group.heading)) : new QWidget;
  auto* rows = new QFormLayout(box);
  rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  for (const LayoutField& field : group.fields) {
    QWidget* first = MakeControl(field.control, field.tip, field.password);
    if (!field.second) {
      rows->addRow(FromBytes(field.label), first);
      continue;
    }
    // The second receipt printer's field stands beside the first one's.
    auto* pair = new QHBoxLayout;
    pair->addWidget(first);
    pair->addWidget(MakeControl(field.second, field.tip, field.password));
    rows->addRow(FromBytes(field.label), pair);
  }
  return box;
}

QWidget* ConfigWindow::MakeControl(const char* name, const char* tip, bool password) {
  const std::string key = name;
  QWidget* widget = nullptr;
  switch (form_.Get(key).kind) {
    case ControlKind::kTextBox: {
      auto* edit = new QLineEdit;
      if (password) edit->setEchoMode(QLineEdit::Password);
      connect(edit, &QLineEdit::textEdited, this, [this, key](const QString& text) {
        form_.SetText(key, ToBytes(text));
        if (key == controls::RF_FILE_2) emit rfFile2Changed();
      });
      widget = edit;
      break;
    }
    case ControlKind::kCheckBox: {
      auto* check = new QCheckBox;
      connect(check, &QCheckBox::toggled, this,
              [this, key](bool on) { form_.SetChecked(key, on); });
      widget = check;
      break;
    }
    case ControlKind::kDropDown: {
      auto* list = new QComboBox;
      connect(list, &QComboBox::currentIndexChanged, this,
              [this, key](int index) { form_.Choose(key, index); });
      widget = list;
      break;
    }
    case ControlKind::kCombo: {
      auto* combo = new QComboBox;
      combo->setEditable(true);
      connect(combo, &QComboBox::editTextChanged, this,
              [this, key](const QString& text) { form_.SetText(key, ToBytes(text)); });
      widget = combo;
      break;
    }
  }
  widget->setObjectName(name);
  // Wide enough for a path such as C:\CALDERA\Casio\CAS.txt.
  if (form_.Get(key).kind != ControlKind::kCheckBox) widget->setMinimumWidth(kFieldWidth);
  if (tip) widget->setToolTip(FromBytes(tip));
  controls_[key] = widget;
  return widget;
}

void ConfigWindow::MakeMenus() {
  for (const LayoutMenu& menu : WindowMenus()) {
    auto choose = [this](const char* name) {
      return [this, n = QString(name)] { emit menuChosen(n); };
    };
    if (menu.items.empty()) {
      QAction* command = menuBar()->addAction(FromBytes(menu.caption));
      command->setObjectName(menu.name);
      connect(command, &QAction::triggered, this, choose(menu.name));
      continue;
    }
    QMenu* items = menuBar()->addMenu(FromBytes(menu.caption));
    for (const LayoutMenuItem& item : menu.items) {
      QAction* action = items->addAction(FromBytes(item.caption));
      action->setObjectName(item.name);
      connect(action, &QAction::triggered, this, choose(item.name));
    }
  }
}

void ConfigWindow::Refresh() {
  for (const auto& [name, widget] : controls_) {
    const valico::Control& c = form_.Get(name);
    QSignalBlocker quiet(widget);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      edit->setText(FromBytes(c.text));
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
      check->setChecked(c.value != 0);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      combo->clear();
      for (const std::string& entry : form_.Entries(name)) combo->addItem(FromBytes(entry));
      combo->setCurrentIndex(form_.CurrentEntry(name));
      if (combo->isEditable()) combo->setEditText(FromBytes(c.text));
    }
  }
}

QWidget* ConfigWindow::Widget(const std::string& name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void ConfigWindow::closeEvent(QCloseEvent* event) {
  // The window is never destroyed by its close box: the program decides what it means.
  event->ignore();
  emit closeBoxClicked();
}

}  // namespace valico
