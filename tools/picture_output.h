// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QIODevice>
#include <QImage>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace trilume {

// Where --png or --gif sends its bytes. A regular file, or a name not yet taken, is
// written beside the target and renamed over it only once the whole picture
// is there. Anything else that exists (a FIFO, a device such as /dev/null,
// a symbolic link to one) is opened and written straight through: a rename
// would replace the node with a plain file. kStandardOutputName ("-")
// writes to the standard output device the run was given.
class PictureOutput {
 public:
  PictureOutput(QString name, QIODevice& standardOutput);

  // Opens the target, so that a bad path fails before any work. Never
  // creates a file for a straight-through target. False with ErrorString()
  // when it cannot be opened.
  bool Open();

  // Writes the picture as PNG and Finish()es. False with ErrorString() when
  // any byte could not be written; a regular target is then left as it was.
  // Call once, after Open() succeeded.
  bool Write(const QImage& picture);

  // Where the bytes go, for a writer that streams them; valid after Open()
  // succeeded, until Finish() or this object goes.
  QIODevice& Device();
  // After the last byte went to Device(): replaces a regular target, or
  // flushes a straight-through one. False with ErrorString() when any byte
  // could not be written; a regular target is then left as it was.
  bool Finish();

  // Why Open() or Write() failed.
  QString ErrorString() const { return Error; }

  // Without a Write() a regular target is left untouched: the file written
  // beside it is removed when this object goes.

 private:
  QString Name;
  QIODevice& StandardOutput;
  std::unique_ptr<QSaveFile> Atomic;
  std::unique_ptr<QFile> Through;
  QString Error;
};

// Flushes a file device down to the system, so that a write error (a full
// disk, /dev/full) shows now rather than at exit. Other devices hold their
// bytes already; true for them.
bool FlushDevice(QIODevice& device);

}  // namespace trilume
