#pragma once

#include <QByteArray>
#include <QDate>
#include <QFont>
#include <QLine>
#include <QLocale>
#include <QPageSize>
#include <QRect>
#include <QString>
#include <vector>

#include "apps/polar-editor/target_table.h"

// What a target card shows: the boat, the sail plan and the day it was made as its heading,
// then a table of the sail plan's targets per wind speed, large enough to read on deck.
struct TargetCard {
    QString strBoat;  // may be empty: the sail plan then heads the card
    QString strSailPlan;
    QDate date;
    QPageSize::PageSizeId paper = QPageSize::A4;
    std::vector<TargetRow> rows;
};

// One text of the card where it is painted, in the page's device units.
struct CardText {
    QRect box;
    QString text;
    QFont font;
    int nFlags = 0;  // Qt::Alignment
};

struct CardLayout {
    std::vector<CardText> texts;
    std::vector<QLine> rules;  // under the table's rows
};

// The card's texts and rules placed on a page of the device; the card is painted from them.
CardLayout LayOutTargetCard(const TargetCard& card, const QRect& page, QPaintDevice* pDevice);

// The card as one PDF page of its paper size.
QByteArray TargetCardPdf(const TargetCard& card);

// The paper a locale's users have in their printers: US Letter in the United States and
// Canada, A4 elsewhere.
QPageSize::PageSizeId PaperOfLocale(const QLocale& locale);

// The cells of one row as the card and the dialog show them.
QStringList TargetCells(const TargetRow& row);
// Their column headings.
QStringList TargetHeadings();
