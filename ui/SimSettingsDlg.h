#pragma once

#include <QDialog>
#include <functional>

#include "engine/SimSettings.h"
#include "ui/PropChangeIF.h"

class CVornMFCPropertyGridCtrl;
class QLabel;
class QSlider;

// "Sim Settings": edits a working copy of the simulation settings in a property list, and the flow and
// standpipe-pressure gain with a slider whose position goes to the main window whenever the slider is
// drawn, so the running engine follows it at once. The caller takes the working copy back only after OK.
class CSimSettingsDlg : public QDialog, public PropChangeIF {
  Q_OBJECT

 public:
  // gainMessage: the window's handler of message 1680, called with the slider position.
  CSimSettingsDlg(const CSimSettings& settings, std::function<void(int)> gainMessage, QWidget* parent = nullptr);
  const CSimSettings& Settings() const;  // the working copy; read after exec() == QDialog::Accepted

  // A property was changed by the user: read the list back now, rebuild it once the list is done.
  void OnPropChange(CVornPropertyGridProperty* property) override;

  // The message number of the gain notification.
  static constexpr int kGainMessage = 1680;

 public slots:
  // OK: stays open with a message while the settings do not hold together.
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildPropertyList();
  void ReadPropertyList();
  void OnSliderDrawn();
  void OnDefault();
  void FitPropertyList();

  CSimSettings m_settings;
  std::function<void(int)> m_gainMessage;
  CVornMFCPropertyGridCtrl* m_propertyList = nullptr;
  QSlider* m_gainSlider = nullptr;
  QLabel* m_gainValue = nullptr;
};
