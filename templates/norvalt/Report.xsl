<?xml version="1.0" encoding="UTF-8"?>
<!--
  The default report template of norvalt: the determination of ethylene
  glycol and diethylene glycol as a printable page (A4).

  The result must be well-formed XML: MSXML builds it into a document
  object and saves that, so the page is written with the xml method, holds
  no empty elements (an empty cell shows a dash) and no doctype.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" encoding="UTF-8" omit-xml-declaration="yes" indent="yes"/>

  <xsl:template match="/root">
    <html lang="ru">
      <head>
        <meta http-equiv="Content-Type" content="text/html; charset=utf-8"/>
        <title>Массовая доля этиленгликоля и диэтиленгликоля</title>
        <style>
          @page { size: A4; margin: 15mm 15mm 15mm 20mm; }
          * { box-sizing: border-box; }
          html { background: #e9ebee; }
          body { max-width: 210mm; margin: 8mm auto; padding: 14mm 15mm 14mm 20mm; background: #fff;
                 color: #1b1b1b; font: 10.5pt/1.4 "Segoe UI", "DejaVu Sans", Arial, sans-serif;
                 box-shadow: 0 1px 4px rgba(0, 0, 0, 0.25); }
          header { border-bottom: 2px solid #1f4e79; padding-bottom: 3mm; margin-bottom: 5mm; }
          .product { color: #1f4e79; font-size: 9pt; letter-spacing: 0.04em; text-transform: uppercase; }
          h1 { font-size: 15pt; line-height: 1.25; margin: 1.5mm 0 2mm; }
          .meta { font-size: 9pt; color: #444; }
          .meta span { margin-right: 8mm; }
          h2 { font-size: 11.5pt; color: #1f4e79; margin: 6mm 0 2mm; }
          table { width: 100%; border-collapse: collapse; font-size: 9.5pt; }
          th, td { border: 1px solid #9aa3ad; padding: 1.2mm 2mm; text-align: left; vertical-align: top; }
          th { background: #edf1f5; font-weight: 600; }
          th.num { text-align: right; }
          td.num { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
          td.n { text-align: right; width: 8mm; color: #555; }
          td.file { overflow-wrap: anywhere; }
          td.date { white-space: nowrap; }
          table.files { font-size: 9pt; }
          td.ok, td.fail, td.plain { text-align: center; }
          td.ok { color: #1e6b2e; background: #e6f4e9; font-weight: 600; }
          td.fail { color: #a11a1a; background: #fbe4e4; font-weight: 700; }
          td.plain { color: #555; }
          tr { page-break-inside: avoid; }
          thead { display: table-header-group; }
          .none { color: #666; font-style: italic; margin: 1mm 0; }
          ol.messages { margin: 0; padding-left: 7mm; }
          ol.messages li { margin: 0.8mm 0; }
          .signature { margin-top: 14mm; font-size: 10pt; }
          .signature div { margin-top: 6mm; }
          @media print {
            html { background: none; }
            body { max-width: none; margin: 0; padding: 0; box-shadow: none; }
            th, td.ok, td.fail { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
          }
        </style>
      </head>
      <body>
        <header>
          <div class="product">
            <xsl:text>norvalt, версия </xsl:text>
            <xsl:value-of select="normalize-space(@prog_version)"/>
          </div>
          <h1>Определение массовой доли этиленгликоля и диэтиленгликоля (ГОСТ 19710-2019)</h1>
          <div class="meta">
            <span>
              <xsl:text>Отчёт создан: </xsl:text>
              <xsl:value-of select="@date_created"/>
            </span>
          </div>
        </header>
        <xsl:apply-templates select="files"/>
        <xsl:apply-templates select="calculation"/>
        <xsl:apply-templates select="messages"/>
        <div class="signature">
          <div>Анализ выполнил: ______________________ / ______________________ /</div>
          <div>Дата: «____» ______________ 20____ г.</div>
        </div>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="files">
    <h2>Хроматограммы</h2>
    <xsl:choose>
      <xsl:when test="row">
        <table class="files">
          <thead>
            <tr>
              <th class="num">№</th>
              <th>Имя файла</th>
              <th>Проба</th>
              <th class="num">Объём</th>
              <th>Дата анализа</th>
              <th>Тип анализа</th>
              <th>Смесь</th>
            </tr>
          </thead>
          <tbody>
            <xsl:for-each select="row">
              <tr>
                <td class="n"><xsl:value-of select="@number"/></td>
                <td class="file"><xsl:call-template name="text"><xsl:with-param name="value" select="@fileName"/></xsl:call-template></td>
                <td><xsl:call-template name="text"><xsl:with-param name="value" select="@sample"/></xsl:call-template></td>
                <td class="num"><xsl:call-template name="text"><xsl:with-param name="value" select="@volume"/></xsl:call-template></td>
                <td class="date"><xsl:call-template name="text"><xsl:with-param name="value" select="@date"/></xsl:call-template></td>
                <td><xsl:call-template name="text"><xsl:with-param name="value" select="@type"/></xsl:call-template></td>
                <td><xsl:call-template name="text"><xsl:with-param name="value" select="@mixture"/></xsl:call-template></td>
              </tr>
            </xsl:for-each>
          </tbody>
        </table>
      </xsl:when>
      <xsl:otherwise>
        <p class="none">Хроматограммы не выбраны.</p>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="calculation">
    <h2>Результаты расчёта</h2>
    <xsl:choose>
      <xsl:when test="row">
        <table class="results">
          <thead>
            <tr>
              <th class="num">№</th>
              <th>Компонент</th>
              <th class="num">Средний Ki</th>
              <th class="num">Массовая доля, %</th>
              <th class="num">Норма, доли единицы</th>
              <th>Соответствие норме</th>
            </tr>
          </thead>
          <tbody>
            <xsl:for-each select="row">
              <tr>
                <td class="n"><xsl:value-of select="@number"/></td>
                <td><xsl:call-template name="text"><xsl:with-param name="value" select="@name"/></xsl:call-template></td>
                <td class="num"><xsl:call-template name="text"><xsl:with-param name="value" select="@avgLgA"/></xsl:call-template></td>
                <td class="num"><xsl:call-template name="text"><xsl:with-param name="value" select="@avgMolarMass"/></xsl:call-template></td>
                <td class="num"><xsl:call-template name="text"><xsl:with-param name="value" select="@norm"/></xsl:call-template></td>
                <td>
                  <!-- Only a component with a norm can fail it. -->
                  <xsl:attribute name="class">
                    <xsl:choose>
                      <xsl:when test="not(@norm)">plain</xsl:when>
                      <xsl:when test="@OK = 'Да' or @OK = 'Yes'">ok</xsl:when>
                      <xsl:otherwise>fail</xsl:otherwise>
                    </xsl:choose>
                  </xsl:attribute>
                  <xsl:call-template name="text"><xsl:with-param name="value" select="@OK"/></xsl:call-template>
                </td>
              </tr>
            </xsl:for-each>
          </tbody>
        </table>
      </xsl:when>
      <xsl:otherwise>
        <p class="none">Расчёт не выполнен: причины указаны в сообщениях.</p>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="messages">
    <h2>Сообщения</h2>
    <xsl:choose>
      <xsl:when test="row">
        <ol class="messages">
          <xsl:for-each select="row">
            <li><xsl:call-template name="text"><xsl:with-param name="value" select="@msg_str"/></xsl:call-template></li>
          </xsl:for-each>
        </ol>
      </xsl:when>
      <xsl:otherwise>
        <p class="none">Сообщений нет.</p>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A cell's text, or a dash for an empty or absent value. -->
  <xsl:template name="text">
    <xsl:param name="value"/>
    <xsl:choose>
      <xsl:when test="string($value) != ''"><xsl:value-of select="$value"/></xsl:when>
      <xsl:otherwise>—</xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
