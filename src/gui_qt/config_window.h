#pragma once

#include <QMainWindow>
#include <map>
#include <string>

#include "config_ui/form_model.h"
#include "config_ui/window_layout.h"

class QWidget;

namespace valico {

// The configuration window, drawn from the layout table the Windows window is drawn from, and
// bound to the form model: every edit of a control goes into the model at once (and nowhere
// else); Refresh puts the model back into the controls. Each control, button and menu command
// is named (objectName) as in control_names.h and the layout. What the commands and the close
// box mean is decided by whoever listens to the signals.
class ConfigWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit ConfigWindow(FormModel& form);

  // The model's texts, choices and ticks into the controls, without raising any signal.
  void Refresh();
  // The widget of the model's control `name`, or null.
  QWidget* Widget(const std::string& name) const;

 signals:
  void commandChosen(valico::WindowCommand command);  // a button or a menu item
  void closeBoxClicked();
  void rfFile2Changed();  // the user changed the text of RF_FILE_2

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* MakeControl(const LayoutField& field);
  QWidget* MakeGroup(const LayoutGroup& group);
  void MakeMenus();
  void UpdateTip(const std::string& name);

  FormModel& form_;
  std::map<std::string, QWidget*> controls_;
};

}  // namespace valico
