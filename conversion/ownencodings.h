#ifndef OWNENCODINGS_H
#define OWNENCODINGS_H

#include <QByteArray>
#include <QString>

#include <functional>

// Qt's codecs are ICU's on Linux and Qt's own on Windows, which know fewer names and read some
// encodings otherwise. The loader reads the encodings below alike on both.

// The name by which Qt's codecs on every platform know the encoding `declared` names, where ICU
// knows it by a name that Qt's own codecs do not know, or know as another encoding; `declared`
// itself otherwise. Letter case and punctuation do not count, as in ICU.
QByteArray commonEncodingName(const QByteArray &declared);

// Decodes `bytes` up to the first that is invalid in an encoding into `text`, and returns whether
// all of them were valid.
using ValidPartDecoder = std::function<bool(const QByteArray &bytes, QString &text)>;

// The decoder of the encoding that Qt's codec calls `name` (or, where Qt has no codec for it, that
// commonEncodingName() calls `name`), where the tool reads it otherwise than Qt's codec on some
// platform; an empty one elsewhere. What the decoder leaves to the codec it decodes with
// `decodeWithQt`.
ValidPartDecoder ownDecoder(const QByteArray &name, const ValidPartDecoder &decodeWithQt);

#endif
