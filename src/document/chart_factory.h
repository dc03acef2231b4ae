#pragma once

class DocumentHost;
class IMDIDocument;
class QMdiArea;

// A new chart window in `area`, sized to be read; InitDoc shows it.
IMDIDocument *newChartWindow(DocumentHost &host, QMdiArea &area);
