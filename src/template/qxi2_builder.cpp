#include "template/qxi2_builder.h"

#include <utility>

#include "core/qxchar.h"

namespace dirscribe {

qxi2_node* qxi2_builder::place(std::unique_ptr<qxi2_node> node) {
  if (!current_) {
    current_ = tree_.append_top(std::move(node));
  } else if (mode_ == qxi2_placement::inside) {
    current_ = tree_.append_child(current_, std::move(node));
  } else {
    current_ = tree_.append_after_siblings(current_, std::move(node));
  }
  return current_;
}

int qxi2_builder::add_text(std::string_view run) {
  if (run.empty()) return 0;
  auto node = std::make_unique<qxi2_node>();
  node->type = qxi2_text;
  node->text = std::string(run);
  node->closed = true;
  place(std::move(node));
  mode_ = qxi2_placement::after;
  return 0;
}

int qxi2_builder::closes(qxi2_node* node, int block, int middle, bool& matched) {
  matched = false;
  if (node->type == block) {
    node->closed = true;
    matched = true;
  } else if (middle != 0 && node->type == middle) {
    node->closed = true;
    qxi2_node* opening = node->prev();
    if (!opening || opening->type != block) return qxi2_misplaced_end;
    opening->closed = true;
    matched = true;
  }
  return 0;
}

int qxi2_builder::place_closing(const qxi2_directive& directive, std::unique_ptr<qxi2_node> node) {
  // Only the current node and its parent are looked at, so a closing
  // directive can close nothing but the innermost open block.
  int middle = directive.role == qxi2_role::closes ? directive.middle : 0;
  qxi2_node* anchor = current_;
  if (!anchor) return qxi2_misplaced_end;
  bool matched = false;
  if (int result = closes(anchor, directive.block, middle, matched)) return result;
  if (!matched) {
    anchor = anchor->parent();
    if (!anchor) return qxi2_misplaced_end;
    if (int result = closes(anchor, directive.block, middle, matched)) return result;
    if (!matched) return qxi2_misplaced_end;
  }
  // Closing directives are born closed; a middle one stays open until the
  // closing directive of its block arrives.
  node->closed = directive.role == qxi2_role::closes;
  current_ = tree_.append_after_siblings(anchor, std::move(node));
  mode_ = directive.next_placement;
  return 0;
}

int qxi2_builder::add_directive(std::string_view name, qxhash attributes, std::string_view markup) {
  int type = qxi2_type_of_name(ascii_lower(name));
  if (type == 0) return add_text(markup);
  const qxi2_directive& directive = *qxi2_directive_of(type);

  auto node = std::make_unique<qxi2_node>();
  node->type = type;
  if (const qxval* var = attributes.lookup("var")) node->var = var->to_text();
  if (directive.kept_attribute) node->attributes = std::make_unique<qxhash>(std::move(attributes));

  if (directive.role == qxi2_role::middle || directive.role == qxi2_role::closes) {
    return place_closing(directive, std::move(node));
  }
  node->closed = directive.role == qxi2_role::simple;
  qxi2_node* placed = place(std::move(node));
  mode_ = directive.next_placement;
  return check_ ? check_->check_node(*placed) : 0;
}

}  // namespace dirscribe
