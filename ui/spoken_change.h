// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessible>
#include <QString>

class QObject;
class QWidget;

namespace trilume {

// While one lives, screen readers are not told of the events about
// `subject` that `unheard` picks; all others go on to where they went
// before. Not nested: an inner one does nothing. Single-threaded, as Qt's
// accessibility is.
class UnheardEvents {
 public:
  using Picker = bool (*)(const QAccessibleEvent& event, const QObject& subject);
  UnheardEvents(const QObject& subject, Picker unheard);
  ~UnheardEvents();
  UnheardEvents(const UnheardEvents&) = delete;
  UnheardEvents& operator=(const UnheardEvents&) = delete;

 private:
  static void Filter(QAccessibleEvent* event);

  static inline const QObject* Subject = nullptr;
  static inline Picker Unheard = nullptr;
  static inline QAccessible::UpdateHandler Next = nullptr;
  bool Active;
};

// Sends screen readers an object's new accessible name (child -1: the
// object itself; otherwise that child of its interface) as text, after
// Qt's own name-change event for it.
//
// Qt 6.4's AT-SPI bridge sends its name- and description-change events with
// the object where the new text belongs, so Orca, which speaks that field,
// says nothing. This sends the AT-SPI signal once more with the text, on the
// connection Qt's bridge already has. Does nothing while no assistive
// technology listens.
void SendNameAsText(QObject* object, int child, const QString& name);

// The same for an object's accessible description (child -1: the object
// itself).
void SendDescriptionAsText(QObject* object, const QString& description, int child = -1);

// Sets a window's title to `text` when it differs, and tells nobody, not
// even through Qt's own name-change event: a screen reader speaks every
// change of its active window's title, and the status line changes every
// second. Orca's read-title command asks for the title afresh, and SpeakNow
// says it on demand.
void ShowStatusText(QWidget& window, const QString& text);

// Has screen readers say `text` once, now, as news about `widget`, which
// should hold the keyboard focus. From Qt 6.8 on it is an announcement.
// Before, Qt has none, and Orca speaks only about what has the focus: the
// text becomes the widget's accessible description until the focus leaves
// it, when the description it had before comes back, unspoken.
void SpeakNow(QWidget& widget, const QString& text);

}  // namespace trilume
