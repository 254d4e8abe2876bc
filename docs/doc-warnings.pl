#!/usr/bin/perl
# Reads doxygen's warning log and fails the documentation build on every warning but one kind:
# a member that is no class or function (a field, a constant, an enumeration, a typedef) without
# a comment of its own, which the class or file comment may well cover. Each failure is printed as
# "header:line: what lacks a brief" or as doxygen's own text.
#
#   perl doc-warnings.pl WARNING-LOG      (exit status 1 when anything is printed)
use strict;
use warnings;

my $undocumented = qr/^(.*?:\d+): (?:warning|error): (.*) is not documented\.$/;
my $tolerated = qr/\((?:variable|typedef|enumeration|enumvalue|define)\)/;

my ($log) = @ARGV;
open(my $in, '<', $log) or die "cannot read $log: $!\n";
my (%seen, @failures);
while (my $line = <$in>) {
    chomp $line;
    next if $line =~ /^\s*$/ || $seen{$line}++;    # inherited members repeat their warning
    if ($line =~ $undocumented) {
        my ($where, $what) = ($1, $2);
        next if $what =~ $tolerated;
        $what =~ s/^Member (.*) \((\w+)\) of (\w+) (\S+)$/$2 $4::$1/;
        $what =~ s/^Compound (\S+)$/class $1/;
        push @failures, "$where: $what has no brief";
    } elsif ($line =~ /^\S.*:\d+: (?:warning|error): / || $line =~ /^(?:warning|error): /) {
        push @failures, $line;
    }
}
print "$_\n" for @failures;
print scalar(@failures), " problem(s) in the reference documentation\n" if @failures;
exit(@failures ? 1 : 0);
