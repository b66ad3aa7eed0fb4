#pragma once
// Helpers shared by the CXMLNode tests: whole-file bytes, the compact text of
// a tree and a comparison of two trees.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "TestData.h"
#include "doc/xml.h"

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes bytes to a scratch file named name and returns its path.
inline std::string ScratchFile(const std::string& name, const std::string& bytes) {
  const std::string path = ScratchDir() + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

// The node in the writer's one-line form: names, attributes in order, data
// of leaves and children, e.g. <Cmp a="1" b="2" />.
inline std::string Compact(const CXMLNode& node) {
  AnsiString text;
  node.WriteToString(text);
  return text.str();
}

// Data of every node, depth first, each followed by "|": the compact form
// leaves out that of nodes with children. GetNode(index) is used for the
// walk, so store flags follow the parents.
inline std::string AllData(CXMLNode& node) {
  std::string all = node.GetData().str() + "|";
  for (int i = 0; i < node.NodeCount(); ++i) all += AllData(*node.GetNode(i));
  return all;
}

// Names, attribute pairs in order, data and children agree at every level.
inline void ExpectSameTree(CXMLNode& a, CXMLNode& b) {
  EXPECT_EQ(Compact(a), Compact(b));
  EXPECT_EQ(AllData(a), AllData(b));
}

// Switches a tree built while storing to loading, as the reader leaves it.
inline void SetLoading(CXMLNode& node) {
  node.SetStore(false);
  for (int i = 0; i < node.NodeCount(); ++i) SetLoading(*node.GetNode(i));
}
