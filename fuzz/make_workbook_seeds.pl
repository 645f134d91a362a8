#!/usr/bin/perl
# Writes the seed corpora of the workbook fuzz targets into fuzz/corpus:
# the kinds of sheets the grid tests read, as each target takes them (see
# the comment at the top of each fuzz_workbook_*.cpp).
#   perl fuzz/make_workbook_seeds.pl build/frame/grid/promo-sheetreader
use strict;
use warnings;
use utf8;
use File::Basename qw(dirname);
use File::Path qw(make_path);
use File::Temp qw(tempdir);
use Archive::Zip qw(:ERROR_CODES :CONSTANTS);
use Excel::Writer::XLSX;
use Spreadsheet::WriteExcel;

my $reader = shift or die "uso: $0 PROMO-SHEETREADER\n";
my $root = dirname(dirname(__FILE__)) . '/fuzz/corpus';
my $tmp = tempdir(CLEANUP => 1);

sub put {
    my ($target, $name, $bytes) = @_;
    make_path("$root/$target");
    open my $f, '>:raw', "$root/$target/$name" or die "$root/$target/$name: $!";
    print $f $bytes;
    close $f;
}
sub slurp { local $/; open my $f, '<:raw', shift or die $!; my $b = <$f>; close $f; return $b }

# ---- .csv -----------------------------------------------------------------------
put('fuzz_workbook_csv', 'semicolons.csv', "CODICE;DESCRIZIONE;OFFERTA\r\nART005;Pasta;1,50\r\n\r\nART007;\"Olio; \"\"extra\"\"\";2\r\n");
put('fuzz_workbook_csv', 'commas.csv', "CODICE,DESCRIZIONE\n123,\"Pasta, corta\"\n\"456\",\"due\nrighe\"\n");
put('fuzz_workbook_csv', 'tabs.csv', "A\tB\n\nC\tD");
put('fuzz_workbook_csv', 'bom.csv', "\xEF\xBB\xBFCODICE;DESCRIZIONE\nA1;Caff\xC3\xA8\n");
put('fuzz_workbook_csv', 'cp1252.csv', "CODICE;DESCRIZIONE\nA1;Caff\xE8 \x80 5\n");
put('fuzz_workbook_csv', 'sep.csv', "sep=,\nA;1,B\n");
put('fuzz_workbook_csv', 'utf16.csv', "\xFF\xFEA\0;\0B\0\n\0");
put('fuzz_workbook_csv', 'quote.csv', "CODICE\nA1\n\"aperto");

# ---- .xlsx and .xls from one sheet -----------------------------------------------------
sub sheet {
    my ($wb) = @_;
    my $ws = $wb->add_worksheet('Foglio1');
    my $date = $wb->add_format(num_format => 'dd/mm/yyyy');
    my $dt = $wb->add_format(num_format => 'dd/mm/yyyy hh:mm');
    my $time = $wb->add_format(num_format => 'hh:mm:ss');
    $ws->write_row(0, 0, [' Codice ', 'DESCRIZIONE', 'Offerta', 'Sconto_Perc', 'Dal']);
    $ws->write_number(1, 0, 8001234567890);
    $ws->write_string(1, 1, 'Caffè macinato');
    $ws->write_number(1, 2, 1.5);
    $ws->write_number(1, 3, 0.1 + 0.2);
    $ws->write_date_time(1, 4, '2024-03-05T', $date);
    $ws->write_string(2, 0, '000123');
    $ws->write_string(2, 1, 'ART');
    $ws->write_string(2, 2, 'ART');
    $ws->write_date_time(2, 3, '2024-03-05T14:30:00', $dt);
    $ws->write_date_time(2, 4, 'T12:30:45', $time);
    $ws->merge_range(4, 0, 4, 2, 'Fine listino', $wb->add_format());
    $ws->write_string(5, 6, 'oltre');
    $wb->add_worksheet('Altro')->write_string(0, 0, 'non letto');
    $wb->close or die;
}
sheet(Excel::Writer::XLSX->new("$tmp/s.xlsx"));
sheet(Spreadsheet::WriteExcel->new("$tmp/s.xls"));
my $xlsx = slurp("$tmp/s.xlsx");
put('fuzz_workbook_xlsx', 'excel-writer.zip', 'Z' . $xlsx);

# The same package with its entries stored, so that mutations reach the XML.
my $zip = Archive::Zip->new("$tmp/s.xlsx") or die;
$_->desiredCompressionMethod(COMPRESSION_STORED) for $zip->members;
$zip->writeToFileNamed("$tmp/stored.xlsx") == AZ_OK or die;
put('fuzz_workbook_xlsx', 'stored.zip', 'Z' . slurp("$tmp/stored.xlsx"));
my ($sheet, $sst, $styles) = map { scalar $zip->contents($_) }
    ('xl/worksheets/sheet1.xml', 'xl/sharedStrings.xml', 'xl/styles.xml');
put('fuzz_workbook_xlsx', 'parts.xml', join("\n====\n", $sheet, $sst, $styles));
my $ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"';
put('fuzz_workbook_xlsx', 'other-makers.xml', join("\n====\n",
    qq{<worksheet $ns><sheetData><row><c><v>1</v></c><c t="str"><f>A1</f><v>1x</v></c><c t="b"><v>1</v></c></row>}
    . qq{<row r="4"><c r="C4" t="e"><v>#DIV/0!</v></c><c s="1"><v>45356</v></c><c t="inlineStr"><is><r><t>in</t></r>}
    . qq{<r><t>linea</t></r></is></c><c r="F4" t="s"><v>1</v></c></row></sheetData>}
    . qq{<mergeCells count="1"><mergeCell ref="A1:B1"/></mergeCells></worksheet>},
    qq{<sst $ns><si><t>riga_x000D_a capo</t></si><si><r><t>Olio </t></r><r><t>extra</t></r><rPh><t>x</t></rPh></si></sst>},
    qq{<styleSheet $ns><numFmts count="1"><numFmt numFmtId="164" formatCode="[\$-410]dd\\ mmmm\\ yyyy;@"/></numFmts>}
    . qq{<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="164"/></cellXfs></styleSheet>}));

# ---- .ods ---------------------------------------------------------------------------
my $content = '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
    . 'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
    . 'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>'
    . '<table:table table:name="Foglio1"><table:table-header-rows><table:table-row>'
    . '<table:table-cell table:number-columns-repeated="2"/>'
    . '<table:table-cell table:number-columns-repeated="3" office:value-type="float" office:value="7"><text:p>7</text:p>'
    . '</table:table-cell></table:table-row></table:table-header-rows><table:table-row>'
    . '<table:table-cell office:value-type="float" office:value="1.5"><text:p>1,50</text:p></table:table-cell>'
    . '<table:table-cell office:value-type="percentage" office:value="0.15"/>'
    . '<table:table-cell office:value-type="date" office:date-value="2024-03-05T08:15:00"/>'
    . '<table:table-cell office:value-type="time" office:time-value="PT08H15M00S"/>'
    . '<table:table-cell office:value-type="boolean" office:boolean-value="true"/></table:table-row>'
    . '<table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-spanned="2" '
    . 'office:value-type="string"><text:p>Unite</text:p><office:annotation><text:p>nota</text:p></office:annotation>'
    . '</table:table-cell><table:covered-table-cell/><table:table-cell office:value-type="string">'
    . '<text:p> a<text:s text:c="2"/>b<text:tab/>c</text:p><text:p>seconda   riga</text:p></table:table-cell>'
    . '</table:table-row><table:table-row table:number-rows-repeated="1048571"><table:table-cell '
    . 'table:number-columns-repeated="1024"/></table:table-row></table:table><table:table table:name="Altro"/>'
    . '</office:spreadsheet></office:body></office:document-content>';
put('fuzz_workbook_ods', 'content.xml', $content);
for my $method (COMPRESSION_STORED, COMPRESSION_DEFLATED) {
    my $ods = Archive::Zip->new;
    $ods->addString('application/vnd.oasis.opendocument.spreadsheet', 'mimetype')->desiredCompressionMethod(COMPRESSION_STORED);
    $ods->addString($content, 'content.xml')->desiredCompressionMethod($method);
    $ods->writeToFileNamed("$tmp/s.ods") == AZ_OK or die;
    put('fuzz_workbook_ods', $method == COMPRESSION_STORED ? 'stored.zip' : 'deflated.zip', 'Z' . slurp("$tmp/s.ods"));
}

# ---- the reader's answers, and the helpers around FreeXL ----------------------------------
open my $csv, '>:raw', "$tmp/s.csv" or die;
print $csv "CODICE;OFFERTA\nART005;1,50\n";
close $csv;
for my $file ("$tmp/s.xls", "$tmp/s.csv", "$tmp/s.xlsx", "$tmp/missing.xls") {
    my $answer = `"$reader" -- "$file"`;
    die "$reader failed on $file" if $? != 0;
    (my $name = $file) =~ s{.*/}{};
    put('fuzz_workbook_xls', "answer-$name", 'F' . $answer);
}
put('fuzz_workbook_xls', 'date', 'D' . pack('d', 45356.5) . "\x02\x00dd/mm/yyyy hh:mm");
put('fuzz_workbook_xls', 'time', 'D' . pack('d', 0.52135416666) . "\x03\x01[h]:mm:ss;@");
put('fuzz_workbook_xls', 'iso', 'D' . pack('d', -1) . "\x01\x00" . '2024-03-05T14:30:00');
put('fuzz_workbook_xls', 'sniff-ole', "S\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
put('fuzz_workbook_xls', 'sniff-zip', "SPK\x03\x04 listino.csv");
print "seeds written under $root\n";
