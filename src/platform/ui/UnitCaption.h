#pragma once

class QLabel;

// Appends " (cm):" or " (in.):" to a dialog's length label. The label's first text is kept,
// so calling it again after the units change replaces the suffix instead of adding another.
void applyUnitCaption(QLabel* label, int units);
