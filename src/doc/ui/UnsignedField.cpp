#include "doc/ui/UnsignedField.h"

#include "platform/Strings.h"
#include "platform/ui/DialogValidation.h"

void unsignedInRange(DialogValidation& dv, QLineEdit* edit, unsigned& value, unsigned min,
                     unsigned max)
{
    unsigned parsed = value;
    dv.unsignedInteger(edit, parsed);
    if (!dv.ok())
        return;
    if (parsed < min || parsed > max) {
        dv.fail(edit, formatString(Str::ParseIntRange, QString::number(min), QString::number(max)));
        return;
    }
    value = parsed;
}
