#pragma once

class DialogValidation;
class QLineEdit;

// An unsigned field with bounds: text that is no unsigned number gets "Please enter a positive
// integer.", a number outside [min, max] the integer range message. The value is stored only
// when both checks pass.
void unsignedInRange(DialogValidation& dv, QLineEdit* edit, unsigned& value, unsigned min,
                     unsigned max);
