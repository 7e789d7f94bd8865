#include "TreeNodes.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace ui {

namespace {

constexpr int DataRole = Qt::UserRole;

} // namespace

int NodeData(const QTreeWidgetItem& node) {
    return node.data(0, DataRole).toInt();
}

void SetNodeData(QTreeWidgetItem& node, int data) {
    node.setData(0, DataRole, data);
}

QTreeWidgetItem* AddChildNode(QTreeWidget& tree, QTreeWidgetItem* parent, const QString& text,
                              int data) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&tree);
    node->setText(0, text);
    SetNodeData(*node, data);
    return node;
}

int AbsoluteIndex(const QTreeWidgetItem* node) {
    if (node == nullptr || node->treeWidget() == nullptr)
        return -1;
    int index = 0;
    for (QTreeWidgetItemIterator it(node->treeWidget()); *it; ++it, ++index)
        if (*it == node)
            return index;
    return -1;
}

QTreeWidgetItem* NodeAtAbsoluteIndex(QTreeWidget& tree, int index) {
    if (index < 0)
        return nullptr;
    QTreeWidgetItemIterator it(&tree);
    for (int i = 0; *it && i < index; ++i)
        ++it;
    return *it;
}

QTreeWidgetItem* FindNodeByData(QTreeWidget& tree, int data) {
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if (NodeData(**it) == data)
            return *it;
    return nullptr;
}

} // namespace ui
