#include "ui/file_dialog.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLocale>

namespace tesmor {

namespace {

// The columns of the file system model.
enum Column { NameColumn, SizeColumn, KindColumn, DateColumn };

QString Kind(const QFileInfo& info) {
  if (info.isDir()) return QStringLiteral("文件夹");
  if (info.suffix().compare(QStringLiteral("pos"), Qt::CaseInsensitive) == 0)
    return QStringLiteral("棋局文件");
  return info.suffix().isEmpty() ? QStringLiteral("文件") : info.suffix() + QStringLiteral(" 文件");
}

QString Size(const QFileInfo& info) {
  if (info.isDir()) return {};
  if (info.size() < 1024) return QString::number(info.size()) + QStringLiteral(" 字节");
  return QLocale(QLocale::Chinese, QLocale::China)
      .formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
}

}  // namespace

QVariant ChineseFileColumns::data(const QModelIndex& index, int role) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (!files || role != Qt::DisplayRole || index.column() == NameColumn)
    return QIdentityProxyModel::data(index, role);
  const QFileInfo info = files->fileInfo(mapToSource(index));
  switch (index.column()) {
    case SizeColumn:
      return Size(info);
    case KindColumn:
      return Kind(info);
    case DateColumn:
      return info.lastModified().toString(QStringLiteral("yyyy年M月d日 HH:mm"));
    default:
      return QIdentityProxyModel::data(index, role);
  }
}

QVariant ChineseFileColumns::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QIdentityProxyModel::headerData(section, orientation, role);
  switch (section) {
    case NameColumn:
      return QStringLiteral("名称");
    case SizeColumn:
      return QStringLiteral("大小");
    case KindColumn:
      return QStringLiteral("类型");
    case DateColumn:
      return QStringLiteral("修改日期");
    default:
      return QIdentityProxyModel::headerData(section, orientation, role);
  }
}

std::optional<QString> AskPositionFile(QWidget* parent, const QString& title,
                                       const QString& lastName, bool save) {
  QFileDialog dialog(parent, title);
  dialog.setProxyModel(new ChineseFileColumns(&dialog));
  dialog.setNameFilter(QStringLiteral("棋局文件 (*.pos)"));
  dialog.setDefaultSuffix(QStringLiteral("pos"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Any name may be typed in either dialog; a file that cannot be opened is reported afterwards.
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!lastName.isEmpty()) dialog.selectFile(lastName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace tesmor
