#include "platform/qt/dialog_items.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <cmath>

#include "platform/qt/qt_canvas.h"

namespace platform::qt {

namespace {

int ScaleX(int units) {
  return static_cast<int>(std::lround(units * kDialogUnitX));
}

int ScaleY(int units) {
  return static_cast<int>(std::lround(units * kDialogUnitY));
}

QString Name(const char* kind, int id) {
  return QString::fromLatin1(kind) + QString::number(id);
}

}  // namespace

QRect ItemRect(const DialogItem& item) {
  return QRect(ScaleX(item.x), ScaleY(item.y), ScaleX(item.width), ScaleY(item.height));
}

QSize TemplateSize(const DialogTemplate& dialog) {
  return QSize(ScaleX(dialog.width), ScaleY(dialog.height));
}

QWidget* CreateItemWidget(const DialogItem& item, QWidget* parent) {
  const QString text = FromUtf8(item.text);
  QWidget* widget = nullptr;
  switch (item.kind) {
    case DialogItem::Kind::Static: {
      // Static text starts at the top and wraps within its rectangle.
      auto* label = new QLabel(text, parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment((item.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
      label->setObjectName(Name("static", item.id));
      widget = label;
      break;
    }
    case DialogItem::Kind::Edit: {
      auto* edit = new QLineEdit(text, parent);
      if (item.centred) edit->setAlignment(Qt::AlignCenter);
      edit->setObjectName(Name("edit", item.id));
      widget = edit;
      break;
    }
    case DialogItem::Kind::Button: {
      auto* button = new QPushButton(text, parent);
      button->setDefault(item.defaultButton);
      button->setObjectName(Name("button", item.id));
      widget = button;
      break;
    }
    case DialogItem::Kind::Progress: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, 100);
      bar->setValue(0);
      bar->setTextVisible(false);
      bar->setObjectName(Name("progress", item.id));
      widget = bar;
      break;
    }
    case DialogItem::Kind::Icon: {
      auto* label = new QLabel(parent);
      const QRect rect = ItemRect(item);
      const QIcon icon = QApplication::windowIcon();
      if (!icon.isNull()) label->setPixmap(icon.pixmap(rect.size().boundedTo(QSize(32, 32))));
      label->setObjectName(Name("icon", item.id));
      widget = label;
      break;
    }
  }
  widget->setGeometry(ItemRect(item));
  widget->setVisible(item.visible);
  return widget;
}

}  // namespace platform::qt
