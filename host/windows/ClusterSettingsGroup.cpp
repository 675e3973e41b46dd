#include "windows/ClusterSettingsGroup.h"

#include "cluster/ClusterNode.h"

#include <QFormLayout>
#include <QLineEdit>

namespace qarvel {

ClusterSettingsGroup::ClusterSettingsGroup(const QString& node, QWidget* parent)
    : QGroupBox(QStringLiteral("DX cluster"), parent) {
    setObjectName(QStringLiteral("ClusterSettings"));
    auto* form = new QFormLayout(this);
    node_ = new QLineEdit(node, this);
    node_->setObjectName(QStringLiteral("StationClusterNode"));
    node_->setPlaceholderText(QStringLiteral("host:port of a DX Spider, AR-Cluster or CC Cluster "
                                             "node; empty: none"));
    form->addRow(QStringLiteral("Node:"), node_);
    connect(node_, &QLineEdit::textChanged, this, &ClusterSettingsGroup::Changed);
}

QString ClusterSettingsGroup::Node() const {
    return node_->text().trimmed();
}

bool ClusterSettingsGroup::IsValid() const {
    return Node().isEmpty() || ClusterNode::Parse(Node()).has_value();
}

} // namespace qarvel
