#!/usr/bin/perl
# Doxygen input filter for this project's headers: they are commented with plain `//` comments,
# and this turns the comments that document something into doc comments, so that the headers stay
# as they are and their comments become the reference.
#
#   perl doxygen-comments.pl HEADER      (prints the filtered header; line numbers are kept)
#
# What it does, at file, namespace, class and enum level (never inside a function body):
# - A block of `//` lines directly followed by a declaration documents it (`///`). When the
#   declarations that follow it without a blank line are several (two getters, say), the block
#   documents them all, as a member group.
# - A `//` comment after code on the same line documents that member (`///<`).
# - The block at the top of the file documents the first class the file defines, when that class
#   has no block of its own; in a file that defines no class it documents the file.
# - Protected sections are left out of the reference: they are for subclasses, not for hosts.
# Every output line stays on its input line, so doxygen's warnings name the header's own lines.
use strict;
use warnings;

my @lines = <>;
chomp @lines;
my $count = scalar @lines;

# ---- What each line is -------------------------------------------------------------------------
my (@code, @trail, @isComment, @isBlank, @isPreproc, @depthBefore, @scopeBefore, @depthAfter);
my @scopes = ('file');    # kinds of the open braces: file, class, enum or body
my $statement = '';       # the code since the last `;`, `{` or `}`
my $inBlockComment = 0;

for my $i (0 .. $count - 1) {
    my $line = $lines[$i];
    $isBlank[$i] = $line =~ /^\s*$/ ? 1 : 0;
    $isComment[$i] = (!$inBlockComment && $line =~ m{^\s*//(?![/!])}) ? 1 : 0;
    $isPreproc[$i] = (!$inBlockComment && $line =~ /^\s*#/) ? 1 : 0;
    $depthBefore[$i] = scalar(@scopes) - 1;
    $scopeBefore[$i] = $scopes[-1];

    # The code of the line, with strings, characters and comments blanked out so that their
    # braces and slashes count for nothing, and where a comment after the code starts.
    my ($codePart, $quote) = ('', '');
    $trail[$i] = -1;
    my @chars = split //, $line;
    for (my $at = 0; $at < @chars; ++$at) {
        my ($char, $pair) = ($chars[$at], $at + 1 < @chars ? $chars[$at] . $chars[$at + 1] : '');
        if ($inBlockComment) {
            ($inBlockComment, $at) = (0, $at + 1) if $pair eq '*/';
        } elsif ($quote) {
            if ($char eq '\\') { ++$at; } elsif ($char eq $quote) { $quote = ''; }
        } elsif ($pair eq '//') {
            $trail[$i] = $at unless $isComment[$i];
            last;
        } elsif ($pair eq '/*') {
            ($inBlockComment, $at) = (1, $at + 1);
        } elsif ($char eq '"' || $char eq "'") {
            $quote = $char;
        } else {
            $codePart .= $char;
        }
    }
    $codePart = '' if $isComment[$i] || $isPreproc[$i];
    $code[$i] = $codePart;

    for my $char (split //, $codePart) {
        if ($char eq '{') {
            my $kind = 'body';
            $kind = 'enum' if $statement =~ /\benum\b/;
            $kind = 'class' if $kind eq 'body' && $statement =~ /\b(class|struct|union)\b[^(]*$/;
            $kind = 'file' if $statement =~ /\bnamespace\b|\bextern\s*$/;
            push @scopes, ($scopes[-1] eq 'body' ? 'body' : $kind);
            $statement = '';
        } elsif ($char eq '}') {
            pop @scopes if @scopes > 1;
            $statement = '';
        } elsif ($char eq ';') {
            $statement = '';
        } else {
            $statement .= $char;
        }
    }
    $statement .= ' ';
    $depthAfter[$i] = scalar(@scopes) - 1;
}

sub documentable { my ($i) = @_; return $scopeBefore[$i] =~ /^(file|class|enum)$/; }
sub accessLine   { my ($i) = @_; return $lines[$i] =~ /^\s*(public|protected|private)\s*:/; }
sub closesScope  { my ($i) = @_; return $code[$i] =~ /^\s*}/; }

# A line that can be documented: code (or a #define) at the level of the comment before it.
sub declarationStart {
    my ($i, $depth) = @_;
    return 0 if $i >= $count || $isBlank[$i] || $isComment[$i] || $depthBefore[$i] != $depth;
    return $lines[$i] =~ /^\s*#\s*define\b/ if $isPreproc[$i];
    return !accessLine($i) && !closesScope($i) && $code[$i] =~ /\S/;
}

# The last line of the declarations that start at `first` and follow each other with no blank
# line, comment or access specifier between them, and how many declarations that is.
sub declarationRun {
    my ($first, $depth) = @_;
    my ($last, $declarations) = ($first, 0);
    my $statementEnded = 1;
    for (my $i = $first; $i < $count; ++$i) {
        if ($depthBefore[$i] > $depth) {    # inside an inline body or an initialiser
            $last = $i;
            $statementEnded = $depthAfter[$i] == $depth;
            next;
        }
        last unless declarationStart($i, $depth) || (!$statementEnded && !$isBlank[$i] && !$isComment[$i]);
        ++$declarations if $statementEnded;
        $last = $i;
        $statementEnded = $isPreproc[$i] || $code[$i] =~ /[;},]\s*$/ && $depthAfter[$i] == $depth;
    }
    return ($last, $declarations);
}

my @out = @lines;

# A comment line made a doc line; a section heading ("---- Messages ----") loses its rule.
sub toDoc {
    my ($i) = @_;
    $out[$i] =~ s{^(\s*(?:/\*.*?\*/\s*)*)//}{$1///};
    $out[$i] =~ s{///\s*-{2,}\s*(.*?)\s*-{2,}\s*$}{/// $1.};
}

# Member groups: one comment documents every declaration of the group.
my ($groupStart, $groupEnd) = ('/** @{ */', '/** @} */');

# Ends the group whose last declaration is line `i`: on the line after it, or at the end of its
# code when that line is a preprocessor line; false when neither can carry it (a macro body).
sub closeGroup {
    my ($i) = @_;
    my $continued = sub { my ($k) = @_; return $k >= 0 && $lines[$k] =~ /\\\s*$/; };
    if ($i + 1 < $count && !$isPreproc[$i + 1] && !$continued->($i)) {
        $out[$i + 1] =~ s!^(\s*)!$1$groupEnd !;
        return 1;
    }
    return 0 if $isPreproc[$i] || $continued->($i - 1) || $continued->($i);
    appendToCode($i, $groupEnd);
    return 1;
}

# Inserts `text` at the end of line `i`'s code, before a comment that ends the line.
sub appendToCode {
    my ($i, $text) = @_;
    if ($trail[$i] >= 0) {
        substr($out[$i], $trail[$i], 0) = "$text ";
    } else {
        $out[$i] .= " $text";
    }
}

# ---- The first class of the file, and whether a block of its own documents it -----------------
my ($firstClass, $firstClassLine);
for my $i (0 .. $count - 1) {
    next unless $depthBefore[$i] == 0 && $code[$i] =~ /^\s*(?:class|struct)\s+(\w+)/;
    next if $code[$i] =~ /;\s*$/;    # declared here, defined elsewhere
    ($firstClass, $firstClassLine) = ($1, $i);
    last;
}

# ---- Comment blocks ------------------------------------------------------------------------------
my $seenCode = 0;
for (my $i = 0; $i < $count; ++$i) {
    if (!$isComment[$i]) {
        $seenCode ||= !$isBlank[$i];
        next;
    }
    my $first = $i;
    ++$i while $i + 1 < $count && $isComment[$i + 1];
    my $last = $i;
    next unless documentable($first);
    if (!$seenCode) {    # the file's own comment: the first block, before any code
        $seenCode = 1;
        my $classHasBlock = defined $firstClassLine && $firstClassLine > 0 && $isComment[$firstClassLine - 1];
        next if defined $firstClass && $classHasBlock;
        toDoc($_) for $first .. $last;
        $out[$last] .= defined $firstClass ? " \@class $firstClass" : ' @file';
        next;
    }
    my $next = $last + 1;
    my $depth = $depthBefore[$first];
    next unless declarationStart($next, $depth);
    toDoc($_) for $first .. $last;
    my ($runEnd, $declarations) = declarationRun($next, $depth);
    if ($declarations > 1 && $scopeBefore[$first] ne 'enum' && closeGroup($runEnd)) {
        $out[$first] =~ s!^(\s*(?:\Q$groupEnd\E\s*)?)!$1$groupStart !;
    }
}

# ---- Comments after code, and protected sections ------------------------------------------------
my @hiddenSince;    # by class depth: hidden from the line of `protected:`
for my $i (0 .. $count - 1) {
    if ($trail[$i] >= 0 && documentable($i) && $code[$i] =~ /\S/) {
        # Earlier insertions on the line come before the code's end, never after the comment.
        my $at = rindex($out[$i], '//', length($out[$i]) - (length($lines[$i]) - $trail[$i]));
        substr($out[$i], $at, 2) = '///<' if $at >= 0 && substr($out[$i], $at, 3) ne '///';
    }
    next unless $scopeBefore[$i] eq 'class';
    my $depth = $depthBefore[$i];
    my $hidden = defined $hiddenSince[$depth];
    if ($hidden && (accessLine($i) || closesScope($i))) {
        $out[$i] =~ s!^(\s*(?:\Q$groupEnd\E\s*)?)!$1/** \@endcond */ !;
        undef $hiddenSince[$depth];
    }
    if ($lines[$i] =~ /^\s*protected\s*:/) {
        $out[$i] .= ' /** @cond OIVWINTAV_SUBCLASSES */';
        $hiddenSince[$depth] = $i;
    }
}

# ---- Members defined outside their class ---------------------------------------------------------
# Template members defined after the class: the declaration in the class is the documented one.
for (my $i = 0; $i < $count; ++$i) {
    next unless $depthBefore[$i] == 0 && $scopeBefore[$i] eq 'file';
    my $head = $code[$i] . ($code[$i] =~ /^\s*template\s*<[^(]*$/ && $i + 1 < $count ? $code[$i + 1] : '');
    next unless $head =~ /\b\w+::~?\w+\s*\(/;
    my $end = $i;
    ++$end while $end + 1 < $count && !($depthAfter[$end] == 0 && $code[$end] =~ /[};]\s*$/);
    $out[$i] =~ s!^!/** \@cond OIVWINTAV_DEFINITIONS */ !;
    appendToCode($end, '/** @endcond */');
    $i = $end;
}

print "$_\n" for @out;
