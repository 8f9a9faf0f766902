// Small helpers shared by the tests.
#pragma once

#include <QString>

namespace vxtest {

// tests/data/<name> in the source tree (real-world samples and hand-made files).
QString dataPath(const QString &name);
// <build>/generated/<name>: movies and files made by the build for the tests.
QString generatedPath(const QString &name);
// Writes `content` to `path` (creating folders); fails the caller's QVERIFY when false.
bool writeFile(const QString &path, const QByteArray &content);
// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace vxtest
