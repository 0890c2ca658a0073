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

constexpr int kFieldWidth = 120;  // pixels
// A field that holds a path is wide enough to show this one whole.
constexpr const char* kUsualPath = "C:\\CALDERA\\Ricevute\\Ricevuta.txt";

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
  for (auto* c : column) c->addStretch();
  for (const LayoutButton& b : WindowButtons()) {
    auto* button = new QPushButton(FromBytes(b.command.caption));
    button->setObjectName(b.command.name);
    button->setAutoDefault(false);  // Enter in a field never presses it
    connect(button, &QPushButton::clicked, this,
            [this, command = b.command.command] { emit commandChosen(command); });
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
  const auto& fields = group.fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    QWidget* first = MakeControl(fields[i]);
    if (i + 1 == fields.size() || !fields[i + 1].beside) {
      rows->addRow(FromBytes(fields[i].label), first);
      continue;
    }
    // The second receipt printer's field stands beside the first one's, under its label.
    const char* label = fields[i].label;
    auto* pair = new QHBoxLayout;
    pair->addWidget(first);
    while (i + 1 < fields.size() && fields[i + 1].beside) pair->addWidget(MakeControl(fields[++i]));
    rows->addRow(FromBytes(label), pair);
  }
  return box;
}

QWidget* ConfigWindow::MakeControl(const LayoutField& field) {
  const std::string key = field.control;
  const bool read_only = field.stored == Stored::kReadOnly;
  QWidget* widget = nullptr;
  switch (field.kind) {
    case ControlKind::kTextBox: {
      auto* edit = new QLineEdit;
      if (field.password) edit->setEchoMode(QLineEdit::Password);
      edit->setReadOnly(read_only);
      connect(edit, &QLineEdit::textEdited, this, [this, key](const QString& text) {
        form_.SetText(key, ToBytes(text));
        UpdateTip(key);
        if (key == controls::RF_FILE_2) emit rfFile2Changed();
      });
      widget = edit;
      break;
    }
    case ControlKind::kCheckBox: {
      auto* check = new QCheckBox;
      check->setEnabled(!read_only);
      connect(check, &QCheckBox::toggled, this,
              [this, key](bool on) { form_.SetChecked(key, on); });
      widget = check;
      break;
    }
    case ControlKind::kDropDown: {
      auto* list = new QComboBox;
      connect(list, &QComboBox::currentIndexChanged, this, [this, key](int index) {
        form_.Choose(key, index);
        UpdateTip(key);
      });
      widget = list;
      break;
    }
    case ControlKind::kCombo: {
      auto* combo = new QComboBox;
      combo->setEditable(true);
      connect(combo, &QComboBox::editTextChanged, this, [this, key](const QString& text) {
        form_.SetText(key, ToBytes(text));
        UpdateTip(key);
      });
      widget = combo;
      break;
    }
  }
  widget->setObjectName(field.control);
  if (field.kind != ControlKind::kCheckBox) {
    int usual = fontMetrics().horizontalAdvance(FromBytes(kUsualPath)) + 16;
    widget->setMinimumWidth(field.wide ? usual : kFieldWidth);
  }
  controls_[key] = widget;
  return widget;
}

void ConfigWindow::MakeMenus() {
  auto add = [this](QAction* action, const LayoutCommand& c) {
    action->setObjectName(c.name);
    connect(action, &QAction::triggered, this,
            [this, command = c.command] { emit commandChosen(command); });
  };
  for (const LayoutMenu& menu : WindowMenus()) {
    if (menu.items.empty()) {
      add(menuBar()->addAction(FromBytes(menu.caption)), menu.command);
      continue;
    }
    QMenu* items = menuBar()->addMenu(FromBytes(menu.caption));
    for (const LayoutCommand& item : menu.items)
      add(items->addAction(FromBytes(item.caption)), item);
  }
}

void ConfigWindow::UpdateTip(const std::string& name) {
  if (const LayoutField* field = FieldOf(name))
    controls_[name]->setToolTip(FromBytes(FieldTip(*field, form_.Text(name))));
}

void ConfigWindow::Refresh() {
  for (const auto& [name, widget] : controls_) {
    const valico::Control& c = form_.Get(name);
    QSignalBlocker quiet(widget);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      edit->setText(FromBytes(c.text));
      edit->setCursorPosition(0);  // the start of a long path, which names its drive
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
      check->setChecked(c.value != 0);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      combo->clear();
      for (const std::string& entry : form_.Entries(name)) combo->addItem(FromBytes(entry));
      combo->setCurrentIndex(form_.CurrentEntry(name));
      if (combo->isEditable()) combo->setEditText(FromBytes(c.text));
    }
    UpdateTip(name);
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
