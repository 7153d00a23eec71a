// SPDX-License-Identifier: MIT
#include "tools/picture_output.h"

#include <sys/stat.h>

#include <QFileDevice>
#include <QImageWriter>
#include <utility>

#include "tools/render_options.h"

namespace trilume {
namespace {

// An existing node that a rename must not replace. A name that does not
// exist yet, a regular file and a directory (which fails to open either
// way) go the atomic road; stat() follows a symbolic link to what it names.
bool WrittenStraightThrough(const QString& name) {
  struct stat status = {};
  if (::stat(QFile::encodeName(name).constData(), &status) != 0) return false;
  return !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

}  // namespace

PictureOutput::PictureOutput(QString name, QIODevice& standardOutput)
    : Name(std::move(name)), StandardOutput(standardOutput) {}

bool PictureOutput::Open() {
  if (Name == QLatin1String(kStandardOutputName)) return true;
  if (WrittenStraightThrough(Name)) {
    Through = std::make_unique<QFile>(Name);
    // ExistingOnly: should the node vanish meanwhile, no plain file takes
    // its place. A FIFO blocks here until its reader comes.
    if (Through->open(QIODevice::WriteOnly | QIODevice::ExistingOnly)) return true;
    Error = Through->errorString();
    return false;
  }
  Atomic = std::make_unique<QSaveFile>(Name);
  if (Atomic->open(QIODevice::WriteOnly)) return true;
  Error = Atomic->errorString();
  return false;
}

QIODevice& PictureOutput::Device() {
  return Atomic    ? static_cast<QIODevice&>(*Atomic)
         : Through ? static_cast<QIODevice&>(*Through)
                   : StandardOutput;
}

bool PictureOutput::Write(const QImage& picture) {
  QIODevice& device = Device();
  QImageWriter writer(&device, "png");
  if (!writer.write(picture)) {
    Error =
        writer.error() != QImageWriter::UnknownError ? writer.errorString() : device.errorString();
    return false;
  }
  return Finish();
}

bool PictureOutput::Finish() {
  QIODevice& device = Device();
  const bool written = Atomic ? Atomic->commit() : FlushDevice(device);
  if (!written) Error = device.errorString();
  return written;
}

bool FlushDevice(QIODevice& device) {
  auto* file = qobject_cast<QFileDevice*>(&device);
  return file == nullptr || file->flush();
}

}  // namespace trilume
