#pragma once

#include <QIdentityProxyModel>
#include <QString>

#include <optional>

class QWidget;

namespace tesmor {

// The file dialog's list in Chinese whatever the system's language: the column titles, the kind
// of each entry, its size and its date. Qt's own texts cover only part of them, and the rest
// (sizes, dates, kinds) would follow the system's locale.
class ChineseFileColumns final : public QIdentityProxyModel {
  Q_OBJECT

 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

// The position file dialog, opened on the name last chosen; nothing when the user cancels.
std::optional<QString> AskPositionFile(QWidget* parent, const QString& title,
                                       const QString& lastName, bool save);

}  // namespace tesmor
