#include "servers/basUtilities.h"

#include "common/TextRules.h"

namespace {
bool isAddressPart(const QString &part) {
    const std::optional<qint32> value = numericToLong(part);
    return value && *value >= 0 && *value <= 255;
}
} // namespace

bool IsValidIP(const QString &address) {
    const qsizetype d1 = address.indexOf(u'.');
    if (d1 < 0 || !isAddressPart(address.left(d1)))
        return false;
    const qsizetype d2 = address.indexOf(u'.', d1 + 1);
    if (d2 < 0 || !isAddressPart(address.mid(d1 + 1, d2 - d1 - 1)))
        return false;
    const qsizetype d3 = address.indexOf(u'.', d2 + 1);
    if (d3 < 0 || !isAddressPart(address.mid(d2 + 1, d3 - d2 - 1)))
        return false;
    if (d3 + 1 >= address.size())
        return false;
    return isAddressPart(address.mid(d3 + 1));
}
