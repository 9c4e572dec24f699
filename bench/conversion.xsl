<?xml version="1.0" encoding="UTF-8"?>
<!--
  The tool's conversion of one source file, written for an XSLT 1.0 processor so that the tool can be
  timed against what a user would otherwise script (see compare-xsltproc). Same input, same output
  tree: the template's root element with one Configulation element per recognised entry appended.
  The layout of the text differs (the processor indents by 2), and white space is trimmed as XML
  defines it (space, tab, line feed, carriage return), which is all the generated sources contain.
  Written without result-tree-fragment variables, which cost this processor a lot of time.
  Parameter: template, the absolute path of the template document.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
    <xsl:output method="xml" encoding="UTF-8" omit-xml-declaration="yes" indent="yes"/>
    <!-- The tool's parser drops text nodes made only of white space, in the template and the source. -->
    <xsl:strip-space elements="*"/>
    <xsl:param name="template"/>

    <xsl:variable name="whiteSpace" select="' &#9;&#10;&#13;'"/>

    <xsl:template match="/">
        <xsl:variable name="section" select="/*/mainFiles[1]"/>
        <xsl:if test="not($section)">
            <xsl:message terminate="yes">Node is empty.</xsl:message>
        </xsl:if>
        <xsl:for-each select="document($template)/*">
            <xsl:copy>
                <xsl:copy-of select="@* | node()"/>
                <xsl:apply-templates select="$section/node()" mode="entry"/>
            </xsl:copy>
        </xsl:for-each>
    </xsl:template>

    <!-- Comments, processing instructions and text in the section are entries without a kind. -->
    <xsl:template match="text() | comment() | processing-instruction()" mode="entry"/>

    <xsl:template match="*" mode="entry">
        <!-- Same as trimming here: no kind in the table holds white space inside. -->
        <xsl:variable name="kind" select="normalize-space(name[1])"/>
        <xsl:choose>
            <xsl:when test="$kind = 'left'">
                <xsl:call-template name="configuration">
                    <xsl:with-param name="name" select="'L'"/>
                    <xsl:with-param name="nickName" select="'LeftHand'"/>
                    <xsl:with-param name="image" select="'left.png'"/>
                </xsl:call-template>
            </xsl:when>
            <xsl:when test="$kind = 'right'">
                <xsl:call-template name="configuration">
                    <xsl:with-param name="name" select="'R'"/>
                    <xsl:with-param name="nickName" select="'RightHand'"/>
                    <xsl:with-param name="image" select="'right.png'"/>
                </xsl:call-template>
            </xsl:when>
            <xsl:when test="$kind = 'merge'">
                <xsl:call-template name="configuration">
                    <xsl:with-param name="name" select="'M'"/>
                    <xsl:with-param name="nickName" select="'Alternately'"/>
                    <xsl:with-param name="image" select="'alternately.png'"/>
                </xsl:call-template>
            </xsl:when>
            <xsl:when test="$kind = 'tandem'">
                <xsl:call-template name="configuration">
                    <xsl:with-param name="name" select="'T'"/>
                    <xsl:with-param name="nickName" select="'Tandem'"/>
                    <xsl:with-param name="image" select="'tandem.png'"/>
                </xsl:call-template>
            </xsl:when>
        </xsl:choose>
    </xsl:template>

    <xsl:template name="configuration">
        <xsl:param name="name"/>
        <xsl:param name="nickName"/>
        <xsl:param name="image"/>
        <Configulation Name="{$name}" NickName="{$nickName}" Prefix="" Suffix=".nc" Image="{$image}">
            <xsl:call-template name="lines">
                <xsl:with-param name="text" select="string(content[1])"/>
            </xsl:call-template>
        </Configulation>
    </xsl:template>

    <!-- One Item or Coordinate per line feed separated part that is not empty, judged before trimming. -->
    <xsl:template name="lines">
        <xsl:param name="text"/>
        <xsl:choose>
            <xsl:when test="contains($text, '&#10;')">
                <xsl:call-template name="line">
                    <xsl:with-param name="part" select="substring-before($text, '&#10;')"/>
                </xsl:call-template>
                <xsl:call-template name="lines">
                    <xsl:with-param name="text" select="substring-after($text, '&#10;')"/>
                </xsl:call-template>
            </xsl:when>
            <xsl:otherwise>
                <xsl:call-template name="line">
                    <xsl:with-param name="part" select="$text"/>
                </xsl:call-template>
            </xsl:otherwise>
        </xsl:choose>
    </xsl:template>

    <xsl:template name="line">
        <xsl:param name="part"/>
        <xsl:if test="$part != ''">
            <!-- Same as the trimmed line for the tests below: the markers hold no white space inside. -->
            <xsl:variable name="marker" select="normalize-space($part)"/>
            <xsl:choose>
                <xsl:when test="$marker = '&lt;leftSet&gt;'">
                    <Coordinate>G54</Coordinate>
                </xsl:when>
                <xsl:when test="$marker = '&lt;rightSet&gt;'">
                    <Coordinate>G55</Coordinate>
                </xsl:when>
                <xsl:when test="starts-with($marker, '&lt;')">
                    <Coordinate/>
                </xsl:when>
                <xsl:otherwise>
                    <Item>
                        <xsl:call-template name="trim">
                            <xsl:with-param name="text" select="$part"/>
                        </xsl:call-template>
                    </Item>
                </xsl:otherwise>
            </xsl:choose>
        </xsl:if>
    </xsl:template>

    <!-- Leading white space goes in one step: everything before the first other character. -->
    <xsl:template name="trim">
        <xsl:param name="text"/>
        <xsl:variable name="firstCharacter" select="substring(normalize-space($text), 1, 1)"/>
        <xsl:if test="$firstCharacter != ''">
            <xsl:call-template name="trimEnd">
                <xsl:with-param name="text"
                                select="substring($text, string-length(substring-before($text, $firstCharacter)) + 1)"/>
            </xsl:call-template>
        </xsl:if>
    </xsl:template>

    <xsl:template name="trimEnd">
        <xsl:param name="text"/>
        <xsl:variable name="length" select="string-length($text)"/>
        <xsl:choose>
            <xsl:when test="contains($whiteSpace, substring($text, $length, 1))">
                <xsl:call-template name="trimEnd">
                    <xsl:with-param name="text" select="substring($text, 1, $length - 1)"/>
                </xsl:call-template>
            </xsl:when>
            <xsl:otherwise>
                <xsl:value-of select="$text"/>
            </xsl:otherwise>
        </xsl:choose>
    </xsl:template>
</xsl:stylesheet>
