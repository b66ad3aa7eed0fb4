#pragma once
// Helpers shared by the CXMLNode tests: whole-file bytes and a structural
// comparison of two trees.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestData.h"
#include "doc/xml.h"

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Writes bytes to a scratch file named name and returns its path.
inline std::string ScratchFile(const std::string& name, const std::string& bytes) {
  const std::string path = ScratchDir() + name;
  WriteBytes(path, bytes);
  return path;
}

// Names, attribute pairs in order, data and children agree at every level.
// GetNode(index) is used for the walk, so store flags follow the parents.
inline ::testing::AssertionResult SameTree(CXMLNode& a, CXMLNode& b,
                                           const std::string& where = "") {
  const std::string here = where + "/" + a.GetName().str();
  if (!(a.GetName() == b.GetName()))
    return ::testing::AssertionFailure()
           << here << ": name \"" << b.GetName().str() << "\" on the other side";
  if (a.AttributeCount() != b.AttributeCount())
    return ::testing::AssertionFailure() << here << ": " << a.AttributeCount() << " vs "
                                         << b.AttributeCount() << " attributes";
  for (int i = 0; i < a.AttributeCount(); ++i) {
    AnsiString an, av, bn, bv;
    a.GetAttribute(i, &an, &av);
    b.GetAttribute(i, &bn, &bv);
    if (!(an == bn) || !(av == bv))
      return ::testing::AssertionFailure()
             << here << ": attribute " << i << " " << an.str() << "=\"" << av.str() << "\" vs "
             << bn.str() << "=\"" << bv.str() << "\"";
  }
  if (!(a.GetData() == b.GetData()))
    return ::testing::AssertionFailure() << here << ": data \"" << a.GetData().str()
                                         << "\" vs \"" << b.GetData().str() << "\"";
  if (a.NodeCount() != b.NodeCount())
    return ::testing::AssertionFailure()
           << here << ": " << a.NodeCount() << " vs " << b.NodeCount() << " children";
  for (int i = 0; i < a.NodeCount(); ++i) {
    ::testing::AssertionResult r = SameTree(*a.GetNode(i), *b.GetNode(i), here);
    if (!r) return r;
  }
  return ::testing::AssertionSuccess();
}

// Switches a tree built while storing to loading, as the reader leaves it:
// GetNode(index) hands each parent's flag on to the child.
inline void SetLoading(CXMLNode& root) {
  root.SetStore(false);
  std::vector<CXMLNode*> todo{&root};
  while (!todo.empty()) {
    CXMLNode* n = todo.back();
    todo.pop_back();
    for (int i = 0; i < n->NodeCount(); ++i) todo.push_back(n->GetNode(i));
  }
}
