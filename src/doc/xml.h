#pragma once
// CXMLNode: the element tree every structured file is held in, and its own
// small text dialect of XML: elements, attributes in double quotes, text
// content, nested children. No entities, comments or CDATA: text that may
// hold special characters goes through the Safe functions (StrToSafe).
//
// Direction. Every node carries a store flag. When it is set, the paired
// operations (Node, Attribute, AttributeInt ... NodeSafe, Data, NodeData,
// SerializeFormula) write into the node; when it is clear they read from it.
// One serialisation routine per class thus saves into a tree being built and
// loads from a tree read from a file. A new node stores; the reader clears
// the flag on every node it fills; children made by CreateNode or reached
// by GetNode(index) take their parent's flag.
//
// Ownership. A node owns its children and attributes; pointers returned by
// CreateNode, GetNode and Node borrow and stay valid until that child is
// deleted or an ancestor is cleared or destroyed. Destruction, reading and
// writing never recurse, so any nesting depth a file can hold is safe.
//
// Encrypted content (an "Encr1" attribute on a component element, "Key" on
// a component list) is opaque to the tree: such elements are read and
// written like any other. Decoding them belongs to the document loader,
// which refuses them.

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/AnsiString.h"
#include "base/Lists.h"

class CFormula;

class CXMLNode {
 public:
  CXMLNode();  // empty name, storing
  explicit CXMLNode(const AnsiString& name);
  ~CXMLNode();
  CXMLNode(const CXMLNode&) = delete;
  CXMLNode& operator=(const CXMLNode&) = delete;

  // --- Direction and identity.
  bool IsStore() const { return store_; }
  void SetStore(bool store) { store_ = store; }
  const AnsiString& GetName() const { return name_; }
  int NodeCount() const { return static_cast<int>(children_.size()); }
  int AttributeCount() const { return static_cast<int>(attributes_.size()); }

  // --- Structure.
  // Appends a child with this node's store flag.
  CXMLNode* CreateNode(const AnsiString& name);
  // Child at 0-based index (null when out of range); it takes this node's
  // store flag.
  CXMLNode* GetNode(int index);
  // First child at start or later named exactly name ("" matches any);
  // remembered for GetNextNode. Null when none.
  CXMLNode* GetNode(const AnsiString& name, int start);
  // The next child matching the last GetNode(name, start).
  CXMLNode* GetNextNode();
  // Storing: CreateNode(name). Loading: GetNode(name, 0), null when absent.
  CXMLNode* Node(const AnsiString& name);
  void DeleteNode(int index);  // out of range: nothing
  void RenameNode(const AnsiString& name) { name_ = name; }
  // Takes this node out of from's children and appends it to to's. False,
  // with nothing changed, when this node is not a child of from or when to
  // lies inside this node's own subtree (the tree would own itself).
  bool MoveNode(CXMLNode* from, CXMLNode* to);
  // Destroys children and attributes, empties the data, sets the store
  // flag. The name and the error stay.
  void ClearNode();
  // 1-based position in text of "<name>", failing that of "<name "; 0 when
  // neither occurs.
  static int FindNode(const AnsiString& text, const AnsiString& name);

  // --- Attributes: pairs in creation order, names compared exactly,
  // duplicate names allowed (lookups take the first).
  void CreateAttribute(const AnsiString& name, const AnsiString& value);
  void SetAttribute(const AnsiString& name, const AnsiString& value);
  AnsiString GetAttribute(const AnsiString& name, const AnsiString& def) const;
  AnsiString Attribute(const AnsiString& name, const AnsiString& value);
  bool AttributeExists(const AnsiString& name) const;
  // The i-th pair (0-based); false, both set empty, when out of range.
  bool GetAttribute(int i, AnsiString* name, AnsiString* value) const;
  void DeleteAttribute(int i);  // out of range: nothing
  void RenameAttribute(const AnsiString& old_name, const AnsiString& new_name);

  // Typed attributes. Get forms return def for an absent or empty value;
  // paired forms return value when storing, the loaded value otherwise.
  // Int: "%d"; read with strtol base 10 (non-numeric text gives 0).
  void CreateAttributeInt(const AnsiString& name, int value);
  void SetAttributeInt(const AnsiString& name, int value);
  int GetAttributeInt(const AnsiString& name, int def) const;
  int AttributeInt(const AnsiString& name, int value);
  // Bool: "true"/"false"; only the exact text "true" reads as true.
  void CreateAttributeBool(const AnsiString& name, bool value);
  void SetAttributeBool(const AnsiString& name, bool value);
  bool GetAttributeBool(const AnsiString& name, bool def) const;
  bool AttributeBool(const AnsiString& name, bool value);
  // Double: engineering notation, 12 significant digits (NaN as ""); read
  // in the C locale up to the first "(", "inf"/"-inf" as infinities.
  void CreateAttributeDouble(const AnsiString& name, double value);
  void SetAttributeDouble(const AnsiString& name, double value);
  double GetAttributeDouble(const AnsiString& name, double def) const;
  double AttributeDouble(const AnsiString& name, double value);
  // Colour 0x00BBGGRR as "r,g,b" in decimal.
  int AttributeColor(const AnsiString& name, int color);
  // Point as "x,y"; an absent or empty value leaves point unchanged.
  void CreateAttributePoint(const AnsiString& name, const TPoint& point);
  void GetAttributePoint(const AnsiString& name, TPoint& point) const;
  void AttributePoint(const AnsiString& name, TPoint& point);
  // Any text, escaped by StrToSafe when stored, unescaped when loaded.
  void CreateAttributeSafe(const AnsiString& name, const AnsiString& value);
  void SetAttributeSafe(const AnsiString& name, const AnsiString& value);
  AnsiString GetAttributeSafe(const AnsiString& name, const AnsiString& def) const;
  AnsiString AttributeSafe(const AnsiString& name, const AnsiString& value);
  // A text kept as child element name with the single Safe attribute "v";
  // value when loading and the child is absent.
  AnsiString NodeSafe(const AnsiString& name, const AnsiString& value);

  // --- Text content. Data(text) loads the node's data as it is: text is
  // not a default. NodeData gives text when the child is absent.
  void CreateData(const AnsiString& text) { data_ = text; }
  const AnsiString& GetData() const { return data_; }
  AnsiString Data(const AnsiString& text);
  AnsiString NodeData(const AnsiString& name, const AnsiString& text);
  void CreateDataSafe(const AnsiString& text);
  AnsiString GetDataSafe() const;
  AnsiString DataSafe(const AnsiString& text);
  AnsiString NodeDataSafe(const AnsiString& name, const AnsiString& text);

  // A formula as the attributes name + "_str" (text, Safe, only when not
  // empty), name (cached value as Double), name + "_format" (only when not
  // double) and name + "_bit" (only when not 32).
  void SerializeFormula(const AnsiString& name, CFormula& formula);

  // --- Errors of loading.
  const AnsiString& GetError() const { return error_; }
  void SetError(const AnsiString& error) { error_ = error; }
  // Errors of the children (depth first, in child order), then this node's
  // own; the non-empty ones joined by a line feed.
  AnsiString GetNodeError() const;
  void ClearNodeError();  // this node and its whole subtree

  // --- Files and text.
  // Reads the file into this node. A named node parses the first element
  // of that name (whatever precedes it, e.g. the declaration, is skipped);
  // a node without a name reads the whole text as the content of an
  // element "top". False with the error "No file name", "Cannot open file"
  // or path + " : wrong file format". Earlier content is replaced; after a
  // format error the node keeps what was read up to the fault.
  bool ReadFromFile(const AnsiString& path);
  // ReadFromFile on a text already in memory; source stands for the path
  // in the error text.
  bool ReadFromText(const AnsiString& text, const AnsiString& source);
  // Parses the element starting at 1-based pos (a "<") into this node,
  // replacing its content; pos then points just after the element. False
  // on a format error (no message: the callers add their own).
  bool ExecuteNode(const AnsiString& text, int& pos);
  // Declaration line, then WriteToList(list, 0); each line followed by a
  // line feed. False when the file cannot be written.
  bool WriteToFile(const AnsiString& path) const;
  // Appends the element's lines, start tag indented by indent blanks and
  // each child level by two more.
  void WriteToList(TStringList& list, int indent) const;
  // Appends the element to text in compact form: no declaration, no
  // indentation, no line breaks.
  void WriteToString(AnsiString& text) const;

 private:
  enum class TagEnd { kError, kClosed, kOpen };
  // Fills this fresh node from the element at s[p] == '<'; p ends after it.
  bool ExecuteElement(const std::string& s, std::size_t& p);
  TagEnd ExecuteTag(const std::string& s, std::size_t& p);
  TagEnd ExecuteAttributes(const std::string& s, std::size_t& p);
  const AnsiString* FindValue(const AnsiString& name) const;
  void AppendStartTag(std::string& out) const;
  bool Contains(const CXMLNode* node) const;
  void DestroyChildren();

  bool store_ = true;
  AnsiString name_;
  AnsiString data_;
  std::vector<std::unique_ptr<CXMLNode>> children_;
  std::vector<std::pair<AnsiString, AnsiString>> attributes_;  // name, value
  AnsiString error_;        // last load failure of this node
  AnsiString search_name_;  // last GetNode(name, start), for GetNextNode
  int search_index_ = -1;   // child index that search found
};
