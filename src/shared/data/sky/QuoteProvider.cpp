#include "shared/data/sky/QuoteProvider.h"

#include "platform/core/Calendar.h"

namespace velk {

const std::array<QuoteItem, QuoteProvider::kCount>& QuoteProvider::quotes()
{
    static const std::array<QuoteItem, kCount> table = {{
        {QStringLiteral("Well begun is half done."), QStringLiteral("Aristotle")},
        {QStringLiteral("The unexamined life is not worth living."), QStringLiteral("Socrates")},
        {QStringLiteral("No man ever steps in the same river twice."), QStringLiteral("Heraclitus")},
        {QStringLiteral("The journey of a thousand miles begins with one step."), QStringLiteral("Lao Tzu")},
        {QStringLiteral("While we are postponing, life speeds by."), QStringLiteral("Seneca")},
        {QStringLiteral("Dwell on the beauty of life."), QStringLiteral("Marcus Aurelius")},
        {QStringLiteral("Seize the day, put no trust in the morrow."), QStringLiteral("Horace")},
        {QStringLiteral("Fortune favours the bold."), QStringLiteral("Terence")},
        {QStringLiteral("Art is long, life is short."), QStringLiteral("Hippocrates")},
        {QStringLiteral("Time is the wisest counsellor of all."), QStringLiteral("Pericles")},
        {QStringLiteral("I think, therefore I am."), QStringLiteral("René Descartes")},
        {QStringLiteral("The heart has its reasons which reason knows nothing of."), QStringLiteral("Blaise Pascal")},
        {QStringLiteral("The greater the obstacle, the more glory in overcoming it."), QStringLiteral("Molière")},
        {QStringLiteral("The best is the enemy of the good."), QStringLiteral("Voltaire")},
        {QStringLiteral("Patience is bitter, but its fruit is sweet."), QStringLiteral("Jean-Jacques Rousseau")},
        {QStringLiteral("Nothing is worth more than this day."), QStringLiteral("Goethe")},
        {QStringLiteral("Anxiety is the dizziness of freedom."), QStringLiteral("Søren Kierkegaard")},
        {QStringLiteral("He who has a why to live can bear almost any how."), QStringLiteral("Friedrich Nietzsche")},
        {QStringLiteral("Knowledge is power."), QStringLiteral("Francis Bacon")},
        {QStringLiteral("Brevity is the soul of wit."), QStringLiteral("William Shakespeare")},
        {QStringLiteral("A thing of beauty is a joy for ever."), QStringLiteral("John Keats")},
        {QStringLiteral("Hope springs eternal in the human breast."), QStringLiteral("Alexander Pope")},
        {QStringLiteral("The child is father of the man."), QStringLiteral("William Wordsworth")},
        {QStringLiteral("Hope is the thing with feathers."), QStringLiteral("Emily Dickinson")},
        {QStringLiteral("Well done is better than well said."), QStringLiteral("Benjamin Franklin")},
        {QStringLiteral("The pen is mightier than the sword."), QStringLiteral("Edward Bulwer-Lytton")},
        {QStringLiteral("Do what you can, with what you have, where you are."), QStringLiteral("Theodore Roosevelt")},
        {QStringLiteral("Be ashamed to die until you have won some victory for humanity."),
         QStringLiteral("Horace Mann")},
        {QStringLiteral("The best way out is always through."), QStringLiteral("Robert Frost")},
        {QStringLiteral("Gather ye rosebuds while ye may."), QStringLiteral("Robert Herrick")},
    }};
    return table;
}

QuoteItem QuoteProvider::today(Date date)
{
    const auto ordinal = Calendar::current().ordinality(CalendarComponent::day, CalendarComponent::era, date);
    const int index = ordinal && *ordinal >= 1 ? *ordinal % kCount : 0;
    return quotes()[size_t(index)];
}

} // namespace velk
