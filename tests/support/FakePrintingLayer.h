#pragma once
// A printing layer that records every page operation with the font state and
// position it ran in, and can fail from a chosen output on.
#include "platform/print/PrintingLayer.h"

#include <cstdint>
#include <vector>

namespace typeloom::test {

class FakePrintingLayer final : public platform::PrintingLayer {
 public:
  enum class Kind { kText, kLine, kEndPage, kEndDocument };
  struct Op {
    Kind kind = Kind::kText;
    QString text;  // kText
    QString face;
    float points = 0;
    bool bold = false;
    bool italic = false;
    int x = 0, y = 0;         // kText: the position; kLine: the start
    int x2 = 0, y2 = 0;       // kLine: the end
    std::uint32_t colour = 0; // kLine
  };

  QStringList printers;
  QString current;
  std::vector<Op> ops;
  // Outputs (texts, lines, page and document ends) numbered from 0 that throw
  // PrintError; -1 never.
  int failFrom = -1;
  int failUntil = -1;  // exclusive; -1 for every output from failFrom on
  // Off: outputs are only counted (for pages with millions of lines).
  bool keepOps = true;
  int outputs = 0;
  int lowestY = 0;

  QStringList PrinterNames() override { return printers; }
  QString CurrentPrinter() const override { return current; }
  void SelectPrinter(const QString& name) override { current = name; }
  void SetFontName(const QString& face) override { face_ = face; }
  void SetFontSize(float points) override { points_ = points; }
  void SetFontBold(bool bold) override { bold_ = bold; }
  void SetFontItalic(bool italic) override { italic_ = italic; }
  void SetCurrentX(int x) override { x_ = x; }
  void SetCurrentY(int y) override { y_ = y; }

  void PrintText(const QString& text) override {
    Op op = Only(Kind::kText);
    op.text = text;
    op.x = x_;
    op.y = y_;
    Record(std::move(op));
  }
  void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) override {
    Op op = Only(Kind::kLine);
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.colour = colour;
    Record(std::move(op));
  }
  void EndPage() override { Record(Only(Kind::kEndPage)); }
  void EndDocument() override { Record(Only(Kind::kEndDocument)); }

  std::vector<Op> Of(Kind kind) const {
    std::vector<Op> out;
    for (const Op& op : ops) {
      if (op.kind == kind) out.push_back(op);
    }
    return out;
  }

 private:
  Op Only(Kind kind) const {
    Op op;
    op.kind = kind;
    op.face = face_;
    op.points = points_;
    op.bold = bold_;
    op.italic = italic_;
    return op;
  }
  void Record(Op op) {
    const int index = outputs++;
    if (failFrom >= 0 && index >= failFrom && (failUntil < 0 || index < failUntil)) {
      throw platform::PrintError("fake printer failure");
    }
    if (op.y < lowestY) lowestY = op.y;
    if (keepOps) ops.push_back(std::move(op));
  }

  QString face_;
  float points_ = 0;
  bool bold_ = false;
  bool italic_ = false;
  int x_ = 0, y_ = 0;
};

}  // namespace typeloom::test
