#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "xml/xml_node.h"
#include "xml_test_dump.h"

namespace rw {
namespace {

using test::dump;

// A parent `p` with the children a, b, c; `fresh` makes unattached elements.
struct Tree {
  Tree() {
    for (const char* name : {"a", "b", "c"}) {
      node[name] = new XMLElement(name);
      parent.appendChild(node[name]);
    }
  }
  XMLElement* fresh(const std::string& name) { return new XMLElement(name); }
  XMLElement parent{"p"};
  std::map<std::string, XMLNode*> node;
};

struct ChainCase {
  const char* name;
  std::function<void(Tree&)> operation;
  std::string expected;  // after the operation and one more appendChild(z)
};

TEST(XMLNode, ChainOperationsKeepTheTailRight) {
  const ChainCase cases[] = {
      {"append", [](Tree&) {}, "p(a,b,c,z)"},
      {"prepend", [](Tree& t) { t.parent.prependChild(t.fresh("x")); }, "p(x,a,b,c,z)"},
      {"remove head", [](Tree& t) { t.parent.removeChild(t.node["a"]); delete t.node["a"]; }, "p(b,c,z)"},
      {"remove middle", [](Tree& t) { t.parent.removeChild(t.node["b"]); delete t.node["b"]; }, "p(a,c,z)"},
      {"remove tail", [](Tree& t) { t.parent.removeChild(t.node["c"]); delete t.node["c"]; }, "p(a,b,z)"},
      {"remove all",
       [](Tree& t) {
         for (const char* n : {"c", "a", "b"}) {
           t.parent.removeChild(t.node[n]);
           t.node[n]->nextSibling = nullptr;
           delete t.node[n];
         }
       },
       "p(z)"},
      {"remove a stranger",
       [](Tree& t) {
         XMLElement* x = t.fresh("x");
         t.parent.removeChild(x);
         delete x;
       },
       "p(a,b,c,z)"},
      {"replace head", [](Tree& t) { t.parent.replaceChild(t.node["a"], t.fresh("x")); delete t.node["a"]; },
       "p(x,b,c,z)"},
      {"replace tail",
       [](Tree& t) {
         t.parent.replaceChild(t.node["c"], t.fresh("x"));
         delete t.node["c"];
       },
       "p(a,b,x,z)"},
      {"insert a chain after the middle",
       [](Tree& t) {
         XMLElement* x = t.fresh("x");
         x->nextSibling = t.fresh("y");
         t.parent.insertAfter(t.node["b"], x);
       },
       "p(a,b,x,y,c,z)"},
      {"insert after the tail",
       [](Tree& t) {
         XMLElement* x = t.fresh("x");
         x->nextSibling = t.fresh("y");
         t.parent.insertAfter(t.node["c"], x);
       },
       "p(a,b,c,x,y,z)"},
      {"insert after null appends", [](Tree& t) { t.parent.insertAfter(nullptr, t.fresh("x")); }, "p(a,b,c,x,z)"},
      {"insert after a stranger appends",
       [](Tree& t) {
         XMLElement stranger("s");
         t.parent.insertAfter(&stranger, t.fresh("x"));
       },
       "p(a,b,c,x,z)"},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    Tree tree;
    c.operation(tree);
    tree.parent.appendChild(tree.fresh("z"));
    EXPECT_EQ(dump(&tree.parent), c.expected);
    for (XMLNode* child = tree.parent.firstChild; child != nullptr; child = child->nextSibling) {
      EXPECT_EQ(child->parent, &tree.parent);
    }
  }
}

TEST(XMLNode, RemovedAndReplacedNodesKeepTheirLinks) {
  Tree tree;
  tree.parent.removeChild(tree.node["b"]);
  EXPECT_EQ(tree.node["b"]->parent, &tree.parent);
  EXPECT_EQ(tree.node["b"]->nextSibling, tree.node["c"]);
  tree.node["b"]->nextSibling = nullptr;
  delete tree.node["b"];

  XMLElement* x = tree.fresh("x");
  tree.parent.replaceChild(tree.node["a"], x);
  EXPECT_EQ(x->nextSibling, tree.node["c"]);
  EXPECT_EQ(tree.node["a"]->nextSibling, tree.node["c"]);
  delete tree.node["a"];
}

TEST(XMLNode, InsertIntoAChildlessNode) {
  XMLElement parent("p");
  XMLElement* x = new XMLElement("x");
  x->nextSibling = new XMLElement("y");
  parent.insertAfter(nullptr, x);
  parent.appendChild(new XMLElement("z"));
  EXPECT_EQ(dump(&parent), "p(x,y,z)");
  EXPECT_EQ(parent.lastChild()->nextSibling, nullptr);
}

struct AttributeCase {
  const char* name;
  std::function<void(XMLElement&)> operation;
  std::string expected;
};

TEST(XMLElement, AttributesKeepTheirOrder) {
  const AttributeCase cases[] = {
      {"append", [](XMLElement& e) { e.setAttribute("c", "3"); }, "e{a=1,b=2,c=3}"},
      {"replace in place", [](XMLElement& e) { e.setAttribute("a", "9"); }, "e{a=9,b=2}"},
      {"names are case-sensitive", [](XMLElement& e) { e.setAttribute("A", "9"); }, "e{a=1,b=2,A=9}"},
      {"remove", [](XMLElement& e) { e.removeAttribute("a"); }, "e{b=2}"},
      {"remove missing", [](XMLElement& e) { e.removeAttribute("x"); }, "e{a=1,b=2}"},
      {"rename", [](XMLElement& e) { e.setTagName("f"); }, "f{a=1,b=2}"},
  };
  for (const AttributeCase& c : cases) {
    SCOPED_TRACE(c.name);
    XMLElement element("e");
    element.setAttribute("a", "1");
    element.setAttribute("b", "2");
    c.operation(element);
    EXPECT_EQ(dump(&element), c.expected);
  }
}

TEST(XMLElement, GetAttributeAnswersNullWhenAbsent) {
  XMLElement element("e");
  element.setAttribute("a", "");
  element.setNullAttribute("n");
  ASSERT_TRUE(element.getAttribute("a").has_value());
  EXPECT_EQ(*element.getAttribute("a"), "");
  EXPECT_FALSE(element.getAttribute("b").has_value());
  EXPECT_FALSE(element.getAttribute("n").has_value());
  EXPECT_TRUE(element.hasAttribute("n"));
  EXPECT_FALSE(element.hasAttribute("b"));
}

}  // namespace
}  // namespace rw
