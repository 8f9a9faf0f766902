// Fuzzes the version history file of the update check: any bytes as the
// downloaded history, against two running versions. The releases kept are
// at most 200, newest first, with parts in range and http(s) download pages
// with a host; the notes kept stay under the store's size and the dialog's
// text under its limit; a failed parse keeps nothing.
#include "settings/versionhistory.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const QByteArray &bytes, const vx::VersionNumber &running)
{
    const vx::VersionHistory h = vx::parseVersionHistory(bytes, running);
    if (h.ok() == h.releases.isEmpty() || h.releases.size() > vx::MAX_RELEASES + 1 || h.counted > vx::MAX_RELEASES
        || h.counted > h.releases.size() || h.counted < h.releases.size() - 1)
        std::abort();
    qint64 notes = 0;
    int previous = 1 << 30;
    for (int i = 0; i < h.releases.size(); ++i) {
        const vx::Release &r = h.releases.at(i);
        const vx::VersionNumber &v = r.version;
        if (v.major < 0 || v.major > vx::MAX_VERSION_MAJOR || v.minor < 0 || v.minor > vx::MAX_VERSION_MINOR
            || v.subminor < 0 || v.subminor > vx::MAX_VERSION_MINOR || v.number() > previous
            || !vx::isSafeWebUrl(r.downloadPage) || (i < h.counted) != (v.number() >= running.number()))
            std::abort();
        previous = v.number();
        notes += r.notes.toUtf8().size() + 1;
    }
    if (notes >= vx::NOTES_CAPACITY)
        std::abort();
    const vx::HistoryView view = vx::historyView(h, running);
    if (view.notesHtml.size() > vx::MAX_HISTORY_TEXT || (h.ok() && !vx::isSafeWebUrl(view.downloadPage)))
        std::abort();
    (void)vx::updateOutcome(h, running, true);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    check(bytes, vx::versionFromText(QStringLiteral("1.1.4")));
    check(bytes, vx::VersionNumber());
    return 0;
}
