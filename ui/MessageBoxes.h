#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// The program's message boxes, modal over their parent window.

// A warning with an OK button, captioned with the program's name.
void ShowMessage(QWidget* parent, const QString& text);

// A question answered Yes or No, No being the default button; true for Yes.
[[nodiscard]] bool AskYesNo(QWidget* parent, const QString& text, const QString& caption);

// An entry that cannot be taken: says why, then gives the box the focus with its text selected, so the
// operator can type over it.
void RefuseEntry(QLineEdit& box, const QString& text);
