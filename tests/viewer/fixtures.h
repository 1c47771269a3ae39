#pragma once

#include <QByteArray>
#include <QString>

namespace kelo::test {

// A definition over the test outlets T01 and T02: sales per outlet in a period, the
// total, and a chart of the outlets.
inline QByteArray SalesDefinition() {
    return QStringLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="MIS(TEST)" title="기간별 영업장 매출" orientation="landscape">
  <parameters>
    <parameter name="AFromDate" position="1" type="date"/>
    <parameter name="AToDATE" position="2" type="date"/>
  </parameters>
  <dataset name="rows">
    <sql><![CDATA[
SELECT J.UPJANG_NAME, SUM(S.NET_AMT) AS NET_AMT
FROM SA030MS S
JOIN JA010MS J ON J.UPJANG_CODE = S.UPJANG_CODE
WHERE S.SALE_DATE BETWEEN :AFromDate AND :AToDATE AND S.UPJANG_CODE IN ('T01', 'T02')
GROUP BY J.UPJANG_NAME
ORDER BY J.UPJANG_NAME
    ]]></sql>
    <format field="NET_AMT" display=",0"/>
  </dataset>
  <dataset name="total">
    <sql><![CDATA[SELECT SUM(NET_AMT) AS NET_AMT FROM SA030MS
WHERE SALE_DATE BETWEEN :AFromDate AND :AToDATE AND UPJANG_CODE IN ('T01', 'T02');]]></sql>
    <format field="NET_AMT" display=",0"/>
  </dataset>
  <band kind="title" height="20">
    <label x="0" y="0" w="277" h="8" text="기간별 영업장 매출" size="14" bold="true" align="center"/>
    <label x="0" y="10" w="30" h="5" text="기간"/>
    <param x="30" y="10" w="60" h="5" name="AFromDate" format="date"/>
  </band>
  <band kind="columnheader" height="6" color="#dfdfdf" frame="top bottom">
    <label x="0" y="0" w="80" h="6" text="영업장" bold="true"/>
    <label x="80" y="0" w="40" h="6" text="순매출" bold="true" align="right"/>
  </band>
  <band kind="detail" dataset="rows" height="5">
    <field x="0" y="0" w="80" h="5" field="UPJANG_NAME"/>
    <field x="80" y="0" w="40" h="5" field="NET_AMT" align="right"/>
  </band>
  <band kind="summary" height="76" frame="top">
    <label x="0" y="0" w="80" h="6" text="합계" bold="true"/>
    <field x="80" y="0" w="40" h="6" dataset="total" field="NET_AMT" align="right" bold="true"/>
    <chart x="0" y="8" w="160" h="66" dataset="rows" type="bars" category="UPJANG_NAME"
           series="NET_AMT" labels="순매출" title="영업장별 순매출"/>
  </band>
  <band kind="pagefooter" height="6">
    <system x="237" y="0" w="40" h="5" value="page" text="Page " size="7" align="right"/>
  </band>
</report>
)xml")
        .toUtf8();
}

// The rows the definition reads: T01 1,000,000 + 500,000 and T02 250,000 in January
// 2024, and a February sale outside the period.
inline const char *SalesRows() {
    return R"sql(
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME) VALUES ('T01', '가든');
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME) VALUES ('T02', '라운지');
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) VALUES ('20240105', 'T01', '10', 1000000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) VALUES ('20240120', 'T01', '10', 500000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) VALUES ('20240110', 'T02', '10', 250000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) VALUES ('20240215', 'T02', '10', 999);
)sql";
}

// Footers that compute over groups of known figures, and styles by condition: A 10, NULL, -5 (words
// b, a, NULL); B only NULLs; C one row of 1,200. %1 is the statement's filter.
inline QByteArray FooterDefinition(const char *filter) {
    return QString::fromUtf8(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="MIS(TEST)" title="합계">
  <dataset name="rows">
    <sql><![CDATA[
SELECT G, NAME, AMT, WORD
FROM (SELECT 'A' AS G, 'a1' AS NAME, 10 AS AMT, 'b' AS WORD FROM DUAL
      UNION ALL SELECT 'A', 'a2', NULL, 'a' FROM DUAL
      UNION ALL SELECT 'A', 'a3', -5, NULL FROM DUAL
      UNION ALL SELECT 'B', 'b1', NULL, NULL FROM DUAL
      UNION ALL SELECT 'B', 'b2', NULL, NULL FROM DUAL
      UNION ALL SELECT 'C', 'c1', 1200, 'z' FROM DUAL) T
WHERE %1
ORDER BY G, NAME
    ]]></sql>
    <format field="AMT" display=",0"/>
  </dataset>
  <band kind="groupheader" group="G" height="6">
    <field x="0" y="0" w="20" h="6" field="G" bold="true"/>
  </band>
  <band kind="detail" dataset="rows" height="5">
    <style if="G = 'C'" background="#e0e0e0"/>
    <field x="0" y="0" w="20" h="5" field="NAME"/>
    <field x="20" y="0" w="30" h="5" field="AMT" align="right">
      <style if="&lt; 0" color="#c00000"/>
    </field>
    <field x="55" y="0" w="20" h="5" field="WORD"/>
  </band>
  <band kind="groupfooter" group="G" height="6" frame="top">
    <field x="20" y="0" w="30" h="6" field="AMT" aggregate="sum" align="right"/>
    <field x="50" y="0" w="20" h="6" field="AMT" aggregate="count" align="right">
      <style if="= 0" bold="true"/>
    </field>
    <field x="70" y="0" w="30" h="6" field="AMT" aggregate="avg" format="#,##0.0" align="right"/>
    <field x="100" y="0" w="20" h="6" field="AMT" aggregate="min" align="right"/>
    <field x="120" y="0" w="20" h="6" field="AMT" aggregate="max" align="right"/>
    <field x="145" y="0" w="15" h="6" field="WORD" aggregate="min"/>
    <field x="160" y="0" w="15" h="6" field="WORD" aggregate="max"/>
  </band>
  <band kind="summary" height="6" frame="top">
    <label x="0" y="0" w="20" h="6" text="합계" bold="true"/>
    <field x="20" y="0" w="30" h="6" field="AMT" aggregate="sum" align="right"/>
    <field x="50" y="0" w="20" h="6" field="AMT" aggregate="count" align="right"/>
    <field x="70" y="0" w="30" h="6" field="AMT" aggregate="avg" format="#,##0.0" align="right"/>
    <field x="100" y="0" w="20" h="6" field="AMT" aggregate="min" align="right"/>
    <field x="120" y="0" w="20" h="6" field="AMT" aggregate="max" align="right"/>
    <field x="145" y="0" w="15" h="6" field="WORD" aggregate="min"/>
    <field x="160" y="0" w="15" h="6" field="WORD" aggregate="max"/>
  </band>
</report>
)xml")
        .arg(QString::fromUtf8(filter))
        .toUtf8();
}

} // namespace kelo::test
