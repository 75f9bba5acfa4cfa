#include "watch/BuddyPattern.h"

bool buddyMatches(const QString &pattern, const QString &name) {
    return buddyMatchesFolded(pattern.toCaseFolded(), name.toCaseFolded());
}

bool buddyMatchesFolded(QStringView p, QStringView n) {
    // Greedy match with one point to fall back to: the last `*` seen. Linear in practice and
    // never worse than pattern length times name length, however many stars a pattern has.
    qsizetype pi = 0;
    qsizetype ni = 0;
    qsizetype star = -1;
    qsizetype resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == u'?' || (p[pi] != u'*' && p[pi] == n[ni]))) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == u'*') {
            star = pi++;
            resume = ni;
        } else if (star >= 0) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}
