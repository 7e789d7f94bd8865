// Tree view helpers in the manner of the component runtime's tree nodes: every node carries an
// integer (its data), and nodes are counted in tree order by their absolute index.
#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace ui {

int NodeData(const QTreeWidgetItem& node);
void SetNodeData(QTreeWidgetItem& node, int data);
// Adds a node with text and data as the last child of parent, or as the last top-level node
// when parent is null.
QTreeWidgetItem* AddChildNode(QTreeWidget& tree, QTreeWidgetItem* parent, const QString& text,
                              int data);
// The node's place in tree order (every node, expanded or not, parents before their
// children), counted from 0; -1 for null.
int AbsoluteIndex(const QTreeWidgetItem* node);
// The node at an absolute index; null when there is none.
QTreeWidgetItem* NodeAtAbsoluteIndex(QTreeWidget& tree, int index);
// The first node in tree order that carries data; null when none does.
QTreeWidgetItem* FindNodeByData(QTreeWidget& tree, int data);

} // namespace ui
