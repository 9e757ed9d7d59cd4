#pragma once
// Writing a file whole or not at all: the content goes into a temporary file beside the
// target, which is synced to disk and then renamed over the target. A failure at any step
// leaves the target as it was (or absent) and removes the temporary file.

class QImage;
class QString;

// Copies the bytes of from to to, byte for byte. False with the reason, naming the file
// concerned, in *error.
bool CopyFileSafely(const QString& from, const QString& to, QString* error);

// Writes image as a PNG file at path. False with the reason in *error.
bool WritePngSafely(const QImage& image, const QString& path, QString* error);

// Whether the two paths name the same file (also through links); false when either is absent.
bool IsSameFile(const QString& a, const QString& b);
