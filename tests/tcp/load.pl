#!/usr/bin/perl
# Load on a Firebird server over TCP through DBD::Firebird (Firebird's own libfbclient):
# N connections at once, each a process of its own, each running M statements, every result
# checked against what this driver computes from the same inputs.
#
#   tests/tcp/server.sh --database [--udr] --module-dir DIR -- tests/tcp/load.pl [options]
#
#   --connections N   processes, one connection each (8)
#   --statements M    statements per connection (200): text functions and a settlement by turns
#   --seconds S       time bound of each set (60): a connection stops there, counted as not run
#   --rows R          rows of each settlement (20)
#   --sets LIST       ardudf (the module), narrow (the n_ declarations: bench/load/run.sh),
#                     builtin (the same results from Firebird's built-ins and plain PSQL) (ardudf)
#   --reconnect       an error is counted, the connection made again, and the work goes on
#   --hold R          instead of the load: one connection makes a settlement of R rows, starts
#                     its walk, prints "holding HANDLE" and waits to be killed
#
# Per set it prints statements/s, the clients' CPU, the server's CPU and its RSS at idle,
# peak and after (ARDUDF_SERVER_PID), as one "set" line of key=value pairs. Exit 1 when a
# result was wrong, a connection was lost without --reconnect, or a statement went missing.
use strict;
use warnings;
use DBI;
use Getopt::Long;
use POSIX qw(:sys_wait_h);
use Time::HiRes qw(time sleep);

my ($connections, $statements, $seconds, $rows, $sets, $reconnect, $hold) = (8, 200, 60, 20, 'ardudf', 0, 0);
GetOptions('connections=i' => \$connections, 'statements=i' => \$statements, 'seconds=f' => \$seconds,
           'rows=i' => \$rows, 'sets=s' => \$sets, 'reconnect' => \$reconnect, 'hold=i' => \$hold)
  or die "load.pl: bad options\n";
my $database = $ENV{ARDUDF_DATABASE} or die "load.pl: no ARDUDF_DATABASE (run it under tests/tcp/server.sh --database)\n";
my $server_pid = $ENV{ARDUDF_SERVER_PID};
my $udr = ($ENV{ARDUDF_MODULE} // '') eq 'udr';

sub connect_db {
  return DBI->connect("dbi:Firebird:db=$database;ib_charset=UTF8", $ENV{ISC_USER}, $ENV{ISC_PASSWORD},
                      { RaiseError => 1, PrintError => 0, AutoCommit => 1 });
}

# The statements of one set: a text statement and a settlement, with what each must give.
# Function names of the set: ib_x (ardudf) or n_ib_x (narrow).
sub statements_of {
  my ($set) = @_;
  my $p = $set eq 'narrow' ? 'n_' : '';
  my %s;
  # Text parameters are cast: a legacy CSTRING argument is described to the client as
  # CHAR(32767), which libfbclient's drivers pad with blanks to its full width.
  my $v = 'CAST(? AS VARCHAR(64) CHARACTER SET NONE)';
  if ($set eq 'builtin') {
    $s{text} = "SELECT LEFT($v, ?), RIGHT($v, ?), REVERSE($v), LPAD($v, ?, '*'), OCTET_LENGTH($v),
                POSITION($v IN $v), '''' || REPLACE($v, '''', '''''') || '''',
                MAXVALUE(CAST(? AS DOUBLE PRECISION), CAST(? AS DOUBLE PRECISION)) FROM RDB\$DATABASE";
    # The same walk as the module's: VAT first, with the first row; then the amounts in order.
    $s{settle} = q{EXECUTE BLOCK (n INTEGER = ?, pay DOUBLE PRECISION = ?, vat DOUBLE PRECISION = ?)
      RETURNS (t VARCHAR(40), a DOUBLE PRECISION, v DOUBLE PRECISION) AS
      DECLARE i INTEGER = 1;
      DECLARE rest DOUBLE PRECISION;
      BEGIN
        rest = pay - vat;
        WHILE (i <= n) DO
        BEGIN
          a = MINVALUE(rest, 10 * i);
          rest = rest - a;
          t = 'R' || i;
          v = IIF(i = 1, vat, 0);
          IF (a > 0 OR i = 1) THEN SUSPEND;
          i = i + 1;
        END
      END};
  } else {
    $s{text} = "SELECT ${p}ib_string_left($v, ?), ${p}ib_string_right($v, ?), ${p}ib_reversestring($v),
                ${p}ib_lpad($v, ?, '*'), ${p}ib_string_length($v), ${p}ib_find_token($v, $v),
                ${p}ib_quote_literal($v), ${p}ib_greatest(?, ?) FROM RDB\$DATABASE";
    $s{settle} = qq{EXECUTE BLOCK (n INTEGER = ?, pay DOUBLE PRECISION = ?, vat DOUBLE PRECISION = ?)
      RETURNS (t VARCHAR(40), a DOUBLE PRECISION, v DOUBLE PRECISION) AS
      DECLARE h INTEGER;
      DECLARE i INTEGER = 1;
      DECLARE r INTEGER;
      BEGIN
        h = ${p}ib_scbcreate();
        WHILE (i <= n) DO
        BEGIN
          r = ${p}ib_scbaddrow(h, 'R' || i, 10 * i, IIF(i = 1, vat, 0));
          i = i + 1;
        END
        r = ${p}ib_scbaddpayment(h, pay);
        WHILE (${p}ib_scbisaffectedrows(h) = 1) DO
        BEGIN
          t = ${p}ib_scbreadtype(h);
          a = ${p}ib_scbreadamount(h);
          v = ${p}ib_scbreadvat(h);
          SUSPEND;
        END
        r = ${p}ib_scbfree(h);
      END};
  }
  return \%s;
}

# Inputs of statement k of a connection, and what it must give: the model of each function
# is its documented contract (bytes; texts of ASCII letters, digits, blanks and quotes).
my @alphabet = ('a' .. 'z', '0' .. '9', ' ', "'", ',');
sub text_case {
  my ($set) = @_;
  my $len = 5 + int(rand(36));
  my $s = join '', map { $alphabet[rand @alphabet] } 1 .. $len;
  my $n = int(rand($len + 1));
  my $k = int(rand($len - 2));
  my $t = substr($s, $k, 3);
  my ($x, $y) = (rand(2000) - 1000, rand(2000) - 1000);
  my $q = $s =~ s/'/''/gr;
  my @want = (substr($s, 0, $n), substr($s, $len - $n), scalar reverse($s), ('*' x 3) . $s, $len,
              index($s, $t) + 1, "'$q'", $x > $y ? $x : $y);
  my @in = ($s, $n, $s, $n, $s, $s, $len + 3, $s, $s, $t, $s, $x, $y);
  @in[8, 9] = @in[9, 8] if $set eq 'builtin';   # POSITION(token IN text)
  return (\@in, \@want);
}
sub settle_case {
  my $total = 10 * $rows * ($rows + 1) / 2;
  my $vat = 1 + int(rand(50));
  my $pay = $vat + 1 + int(rand($total));
  my @want;
  my $rest = $pay - $vat;
  for my $i (1 .. $rows) {
    my $a = $rest < 10 * $i ? $rest : 10 * $i;
    $rest -= $a;
    push @want, ["R$i", $a, $i == 1 ? $vat : 0] if $a > 0 || $i == 1;
  }
  return ([$rows, $pay, $vat], \@want);
}

sub same_row {
  my ($got, $want) = @_;
  return 0 unless $got && @$got == @$want;
  for my $i (0 .. $#$want) {
    my ($g, $w) = ($got->[$i], $want->[$i]);
    return 0 unless defined $g;
    if ($w =~ /^-?[\d.]+(e[-+]?\d+)?$/i && $g =~ /^-?[\d.]+(e[-+]?\d+)?$/i) { return 0 unless $g == $w }
    else { return 0 unless $g eq $w }
  }
  return 1;
}

# One connection's work: M statements by turns; a line of counts on the pipe.
sub worker {
  my ($set, $out, $deadline) = @_;
  srand($$ ^ int(time * 1000));
  my %c = (ok => 0, wrong => 0, errors => 0, reconnects => 0, unrun => 0);
  my $first_wrong = '';
  my $st = statements_of($set);
  my ($dbh, %sth);
  my $k = 0;
  while ($k < $statements) {
    if (time > $deadline) { $c{unrun} = $statements - $k; last }
    my $ok = eval {
      if (!$dbh) {
        $dbh = connect_db();
        %sth = map { $_ => $dbh->prepare($st->{$_}) } keys %$st;
      }
      if ($k % 2 == 0) {
        my ($in, $want) = text_case($set);
        $sth{text}->execute(@$in);
        my $got = $sth{text}->fetchrow_arrayref;
        my $good = same_row($got, $want) && !$sth{text}->fetchrow_arrayref;
        $sth{text}->finish;
        if (!$good && !$c{wrong}++) { $first_wrong = "text: got @{[map { $_ // 'NULL' } @{$got || []}]} want @$want" }
      } else {
        my ($in, $want) = settle_case();
        $sth{settle}->execute(@$in);
        my $got = $sth{settle}->fetchall_arrayref;
        my $good = @$got == @$want;
        $good &&= same_row($got->[$_], $want->[$_]) for 0 .. $#$want;
        if (!$good && !$c{wrong}++) {
          $first_wrong = "settlement @$in: got " . join(';', map { "@$_" } @$got) . ' want ' . join(';', map { "@$_" } @$want);
        }
      }
      1;
    };
    if (!$ok) {
      $c{errors}++;
      my $err = $@ =~ s/\s+/ /gr;
      if (!$reconnect) { $first_wrong ||= "error: $err"; $c{unrun} = $statements - $k; last }
      {   # the connection is dead: its handles say so as they go, which is no news here
        local $SIG{__WARN__} = sub {};
        eval { $_->finish for values %sth; %sth = (); $dbh->disconnect if $dbh };
        ($dbh, %sth) = ();
      }
      $c{reconnects}++;
      sleep 0.2;
      next;   # the statement is run again on the new connection
    }
    $c{ok}++;
    $k++;
  }
  eval { %sth = (); $dbh->disconnect if $dbh };
  print $out join(' ', map { "$_=$c{$_}" } sort keys %c), " first=$first_wrong\n";
}

sub server_cpu {   # ticks of user and system time
  open my $f, '<', "/proc/$server_pid/stat" or return 0;
  my @f = split ' ', (<$f> =~ s/^.*\) //r);
  return $f[11] + $f[12];
}
sub server_rss_kb {
  open my $f, '<', "/proc/$server_pid/status" or return 0;
  while (<$f>) { return $1 if /^VmRSS:\s+(\d+)/ }
  return 0;
}
my $tick = POSIX::sysconf(POSIX::_SC_CLK_TCK()) || 100;

if ($hold) {
  my $dbh = connect_db();
  my ($h) = $dbh->selectrow_array('SELECT ib_scbcreate() FROM RDB$DATABASE');
  $dbh->do(q{EXECUTE BLOCK (h INTEGER = ?, n INTEGER = ?) AS
    DECLARE i INTEGER = 1; DECLARE r INTEGER;
    BEGIN
      WHILE (i <= n) DO BEGIN r = ib_scbaddrow(h, 'ROW' || i, 10, 0); i = i + 1; END
    END}, undef, $h, $hold);
  $dbh->selectrow_array('SELECT ib_scbaddpayment(?, ?) FROM RDB$DATABASE', undef, $h, 5 * $hold);
  for (1 .. 3) {   # the walk begun, not finished
    $dbh->selectrow_array('SELECT ib_scbisaffectedrows(?), ib_scbreadtype(?), ib_scbreadamount(?) FROM RDB$DATABASE',
                          undef, $h, $h, $h);
  }
  $| = 1;
  print "holding $h\n";
  sleep 60;
  exit 0;
}

my $failed = 0;
for my $set (split /,/, $sets) {
  my ($rss_idle, $rss_peak, $cpu0) = (server_rss_kb(), 0, server_cpu());
  my @t0 = times;
  my $start = time;
  my $deadline = $start + $seconds;
  pipe(my $rd, my $wr) or die "pipe: $!";
  my @pids;
  for (1 .. $connections) {
    my $pid = fork // die "fork: $!";
    if ($pid == 0) {
      close $rd;
      worker($set, $wr, $deadline);
      close $wr;
      POSIX::_exit(0);
    }
    push @pids, $pid;
  }
  close $wr;
  my %alive = map { $_ => 1 } @pids;
  my $died = 0;
  while (%alive) {
    while ((my $pid = waitpid(-1, WNOHANG)) > 0) { delete $alive{$pid}; $died++ if $? != 0 }
    my $rss = server_rss_kb();
    $rss_peak = $rss if $rss > $rss_peak;
    sleep 0.05;
  }
  my $elapsed = time - $start;
  my @t1 = times;
  my $cpu1 = server_cpu();
  my %sum = (ok => 0, wrong => 0, errors => 0, reconnects => 0, unrun => 0);
  my ($reports, @first) = (0);
  while (my $line = <$rd>) {
    $reports++;
    $sum{$1} += $2 while $line =~ /\b(ok|wrong|errors|reconnects|unrun)=(\d+)/g;
    push @first, $1 if $line =~ /first=(.+)$/;
  }
  close $rd;
  sleep 1;   # the server lets go of what the attachments held
  my $rss_after = server_rss_kb();
  my $client_cpu = ($t1[2] + $t1[3]) - ($t0[2] + $t0[3]);
  my $lost = $connections * $statements - $sum{ok} - $sum{unrun};
  printf "set=%s connections=%d statements=%d ok=%d wrong=%d errors=%d reconnects=%d unrun=%d lost=%d seconds=%.2f " .
         "per_second=%.0f client_cpu_s=%.2f server_cpu_s=%.2f rss_idle_mb=%.1f rss_peak_mb=%.1f rss_after_mb=%.1f\n",
    $set, $connections, $statements, $sum{ok}, $sum{wrong}, $sum{errors}, $sum{reconnects}, $sum{unrun}, $lost,
    $elapsed, $sum{ok} / $elapsed, $client_cpu, ($cpu1 - $cpu0) / $tick, $rss_idle / 1024, $rss_peak / 1024, $rss_after / 1024;
  print "  first problem: $_\n" for @first;
  $failed = 1 if $sum{wrong} || $lost || $died || $reports != $connections || (!$reconnect && $sum{errors});
  print "  $sum{unrun} statements not run: the time bound of $seconds s was reached\n" if $sum{unrun};
}
print $failed ? "FAIL\n" : "load: every result right\n";
exit $failed;
