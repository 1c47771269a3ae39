-- The stays in the house on a date are found by their check-out date: nearly every stay has
-- left before it, and the check-in date's index alone leaves all of those to be read.

CREATE INDEX DA010MS_CHECKOUT ON DA010MS (CHECKOUT_DATE);
