#!/usr/bin/perl
# Writes sample.xls, the workbook the grid tests load: a header row, codes
# stored as numbers and as text, prices, a date, an accented text, a gap
# column, and a second sheet that must not be read.
use strict;
use warnings;
use utf8;
use Spreadsheet::WriteExcel;

my $out = shift // 'sample.xls';
my $wb = Spreadsheet::WriteExcel->new($out) or die "cannot create $out: $!";
my $ws = $wb->add_worksheet('Articoli');
my $date = $wb->add_format(num_format => 'dd/mm/yyyy');

$ws->write_row(0, 0, [' Codice ', 'DESCRIZIONE', 'Offerta', 'Sconto_Perc', 'Dal']);
$ws->write_number(1, 0, 8001234567890);
$ws->write_string(1, 1, 'Caffè macinato');
$ws->write_number(1, 2, 1.5);
$ws->write_number(1, 3, 0.1 + 0.2);
$ws->write_date_time(1, 4, '2024-03-05T', $date);
$ws->write_string(2, 0, '000123');
$ws->write_string(2, 1, 'Pasta');
$ws->write_number(2, 2, 12);
$ws->write_number(2, 3, -2.25);
$ws->write_string(3, 6, 'oltre');   # a lone cell past an empty column

my $other = $wb->add_worksheet('Altro');
$other->write(0, 0, 'non letto');
$wb->close() or die "cannot write $out: $!";
